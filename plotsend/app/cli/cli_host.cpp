#include "cli_host.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

#include "cli_alignment.h"

namespace plotsend {
namespace {

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
    return;
  }
  if (!echo_) return;
  if (progressShown_) std::fputc('\n', stderr);
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
  PrintProgress();
}

void CliHost::StepProgress() {
  std::lock_guard lock(mutex_);
  if (position_ < range_) ++position_;
  PrintProgress();
}

// "sending: 12 of 345 KiB (3%)", redrawn when the percentage changes.
void CliHost::PrintProgress() {
  const int percent = range_ == 0 ? 0 : static_cast<int>(uint64_t{position_} * 100 / range_);
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  std::fprintf(stderr, "\rsending: %u of %u KiB (%d%%)", position_, range_, percent);
  std::fflush(stderr);
  progressShown_ = true;
}

void CliHost::EndProgress() {
  std::lock_guard lock(mutex_);
  if (progressShown_) std::fputc('\n', stderr);
  progressShown_ = false;
  range_ = 0;
}

bool CliHost::AskOkCancel(const std::string& text) {
  EndProgress();
  std::fprintf(stderr, "%s [ok/cancel] ", text.c_str());
  std::fflush(stderr);
  std::string line;
  if (!std::getline(std::cin, line)) return false;
  return line.empty() || line == "ok" || line == "y" || line == "yes";
}

void CliHost::RunAlignment(CIntersectAlignement& alignment) { RunTerminalAlignment(alignment, std::cin, stderr); }

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
