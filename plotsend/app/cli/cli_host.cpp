#include "app/cli/cli_host.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <unistd.h>

#include "app/cli/cli_alignment.h"

namespace plotsend {
namespace {

// "850 bytes", "12.3 kB", "4.56 MB".
std::string Size(double bytes) {
  char text[32];
  if (bytes < 1e3) {
    std::snprintf(text, sizeof text, "%.0f bytes", bytes);
  } else if (bytes < 1e6) {
    std::snprintf(text, sizeof text, "%.1f kB", bytes / 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.2f MB", bytes / 1e6);
  }
  return text;
}

bool IsCount(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void CliHost::MessageBox(const std::string& text, MessageKind kind) {
  EndProgress();
  if (kind == MessageKind::Error) {
    std::fprintf(stderr, "plotsend: %s\n", text.c_str());
  } else {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
  }
}

void CliHost::SetStatusText(const std::string& text) {
  std::lock_guard lock(mutex_);
  if (range_ != 0 && IsCount(text)) {
    sent_ = std::stoull(text);
    PrintProgress(false);
    return;
  }
  if (!echo_) return;
  if (progressShown_ && terminal_) std::fputc('\n', stderr);
  progressShown_ = false;
  std::fprintf(stderr, "plotsend: %s\n", text.c_str());
}

std::optional<std::string> CliHost::ChooseSavePath(const std::string& proposedName) {
  if (file_) return file_;
  if (proposedName.find('*') == std::string::npos) return proposedName;
  return std::nullopt;
}

void CliHost::SetProgressRange(uint32_t range) {
  std::lock_guard lock(mutex_);
  range_ = range;
  position_ = 0;
  sent_ = 0;
  shownPercent_ = -1;
  terminal_ = isatty(STDERR_FILENO) != 0;
  started_ = std::chrono::steady_clock::now();
  shownAt_ = started_;
}

void CliHost::StepProgress() {
  std::lock_guard lock(mutex_);
  if (position_ < range_) ++position_;
}

// "sending: 1.20 of 3.40 MB (35%), 2.10 MB/s, 0:02 left". On a terminal the
// line is redrawn ten times a second; otherwise a line at every 10%.
void CliHost::PrintProgress(bool last) {
  const auto now = std::chrono::steady_clock::now();
  // Without its size the job is (range - 1) to range KiB long; the count
  // grows by whole chunks.
  const double estimate = range_ <= 1 ? std::max<double>(static_cast<double>(sent_), 1.0) : (range_ - 0.5) * 1024.0;
  const double total = jobBytes_ > 0 ? static_cast<double>(jobBytes_) : estimate;
  const double sent = last ? total : std::min<double>(static_cast<double>(sent_), total);
  const int percent = last ? 100 : static_cast<int>(sent * 100 / total);
  if (terminal_ ? (!last && now - shownAt_ < std::chrono::milliseconds(100))
                : (!last && percent / 10 == shownPercent_ / 10)) {
    return;
  }
  shownPercent_ = percent;
  shownAt_ = now;
  const double seconds = std::chrono::duration<double>(now - started_).count();
  const double rate = seconds > 0 ? sent / seconds : 0;
  const long left = rate > 0 ? static_cast<long>((total - sent) / rate) : 0;
  std::fprintf(stderr, "%ssending: %s of %s (%d%%), %s/s, %ld:%02ld left%s", terminal_ ? "\r" : "", Size(sent).c_str(),
               Size(total).c_str(), percent, Size(rate).c_str(), left / 60, left % 60, terminal_ ? "\x1b[K" : "\n");
  std::fflush(stderr);
  progressShown_ = true;
}

void CliHost::EndProgress(bool complete) {
  std::lock_guard lock(mutex_);
  if (complete && range_ != 0) PrintProgress(true);
  if (progressShown_ && terminal_) std::fputc('\n', stderr);
  progressShown_ = false;
  range_ = 0;
  jobBytes_ = 0;
}

namespace {

// A terminal is in raw mode while a prompt reads it.
class RawKeys {
 public:
  explicit RawKeys(TerminalKeys& keys) : keys_(keys) { keys_.SetRaw(true); }
  ~RawKeys() { keys_.SetRaw(false); }
  RawKeys(const RawKeys&) = delete;
  RawKeys& operator=(const RawKeys&) = delete;

 private:
  TerminalKeys& keys_;
};

}  // namespace

bool CliHost::AskOkCancel(const std::string& text) {
  EndProgress();
  RawKeys raw(keys_);
  return AskTerminalOkCancel(text.c_str(), input_, stderr);
}

void CliHost::RunAlignment(CIntersectAlignement& alignment) {
  RawKeys raw(keys_);
  RunTerminalAlignment(alignment, input_, stderr);
}

void CliHost::Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

void CliHost::PostDialogMessage(unsigned message) {
  {
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
  }
  posted_.notify_one();
}

std::optional<unsigned> CliHost::WaitMessage(int timeoutMs) {
  std::unique_lock lock(mutex_);
  if (!posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !messages_.empty(); })) {
    return std::nullopt;
  }
  const unsigned message = messages_.front();
  messages_.pop_front();
  return message;
}

}  // namespace plotsend
