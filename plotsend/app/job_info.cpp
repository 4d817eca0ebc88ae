#include "app/job_info.h"

#include <array>
#include <filesystem>
#include <fstream>

#include "job/decimal.h"
#include "job/file_io.h"

namespace plotsend {
namespace {

constexpr int kMaxMarkRefValues = 11;
constexpr size_t kCodeInfoSize = 4;
constexpr size_t kCodeNumberChars = 10;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void Show(const Notify& notify, JobMessage message) {
  if (notify) notify(message);
}

// Only regular files are opened: opening a pipe would wait for a writer.
bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(Utf8Path(path), ec);
}

// The code mode of codeinfo.kv (0 when none) and whether its flag is set.
// Only the bytes that are there are looked at.
uint8_t ReadCodeMode(const std::string& path, bool& pending) {
  pending = false;
  if (!IsRegularFile(path)) return 0;
  std::ifstream file(Utf8Path(path), std::ios::binary);
  if (!file) return 0;
  std::array<char, kCodeInfoSize> bytes{};
  file.read(bytes.data(), bytes.size());
  const size_t got = static_cast<size_t>(file.gcount());
  if (got == 0 || bytes[0] == '0') return 0;
  pending = true;
  return got > 2 ? static_cast<uint8_t>(bytes[2] - '0') : 0;
}

int32_t ReadCodeNumber(const std::string& path) {
  if (!IsRegularFile(path)) return 0;
  std::ifstream file(Utf8Path(path), std::ios::binary);
  if (!file) return 0;
  std::array<char, kCodeNumberChars> text{};
  file.read(text.data(), text.size());
  return ParseInt32(std::string_view(text.data(), static_cast<size_t>(file.gcount())));
}

}  // namespace

MarkRef ParseMarkRef(std::string_view text) {
  std::array<int32_t, kMaxMarkRefValues> values{};
  size_t p = 0;
  for (int n = 0; n < kMaxMarkRefValues && p < text.size(); ++n) {
    while (p < text.size() && text[p] != '-' && !IsDigit(text[p])) ++p;
    size_t end = text.find(',', p);
    if (end == std::string_view::npos) end = text.size();
    values[n] = ParseInt32(text.substr(p, end - p));
    p = end + 1;
  }
  MarkRef ref;
  ref.MarkSpanX = values[0];
  ref.MarkSpanY = values[1];
  ref.MarkMargin = values[2];
  ref.MarkType = static_cast<uint8_t>(values[3]);
  ref.SectionCount = static_cast<uint8_t>(values[4]);
  if (ref.SectionCount == 0) ref.SectionCount = 1;
  return ref;
}

bool ReadJobInfo(const WorkDir& dir, JobInfo& info, const Notify& notify) {
  try {
    info.CodeMode = 0;
    info.CodeNumber = 0;
    info.CodeMode = ReadCodeMode(dir.CodeInfoKv(), info.codeFlagPending);
    if (info.CodeMode != 0) info.CodeNumber = ReadCodeNumber(dir.CodeNumbleKv());

    std::error_code ec;
    const auto type = std::filesystem::status(Utf8Path(dir.MarkRefKv()), ec).type();
    if (type != std::filesystem::file_type::regular && type != std::filesystem::file_type::not_found) {
      return false;  // a directory, a pipe or a device has no mark values to read
    }
    std::ifstream file(Utf8Path(dir.MarkRefKv()), std::ios::binary);
    if (!file) {
      Show(notify, JobMessage::OpenMarkRefFailed);
      return false;
    }
    // Read at most one byte past the limit: enough to tell a file that is too
    // long, without loading an arbitrarily large one.
    std::array<char, kMarkRefLimit> text{};
    file.read(text.data(), text.size());
    const size_t got = static_cast<size_t>(file.gcount());
    if (got >= kMarkRefLimit) {
      Show(notify, JobMessage::MarkRefTooLong);
      return false;
    }
    if (got == 0) return false;  // no values at all, or not readable as a file
    info.markRef = ParseMarkRef(std::string_view(text.data(), got));
    return true;
  } catch (...) {
    return false;
  }
}

void ConsumeCodeFlag(const WorkDir& dir) {
  try {
    if (!IsRegularFile(dir.CodeInfoKv())) return;
    std::fstream file(Utf8Path(dir.CodeInfoKv()), std::ios::in | std::ios::out | std::ios::binary);
    char flag = '0';
    if (!file || !file.get(flag) || flag == '0') return;
    file.seekp(0);
    file.put('0');
  } catch (...) {
  }
}

}  // namespace plotsend
