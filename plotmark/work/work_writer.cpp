#include "work/work_writer.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "job/job_files.h"
#include "work/file_io.h"
#include "work/plotsend_lock.h"

namespace plotmark {
namespace {

std::string TempName(const std::string& path) { return path + ".plotmark-tmp"; }

bool WriteWhole(const std::string& path, const std::string& content) {
  std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  return !out.fail();
}

void RemoveQuietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(Utf8Path(path), ec);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& content) {
  const std::string temp = TempName(path);
  if (!WriteWhole(temp, content)) {
    RemoveQuietly(temp);
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(Utf8Path(temp), Utf8Path(path), ec);
  if (ec) RemoveQuietly(temp);
  return !ec;
}

WriteResult CheckWorkDirectory(const std::string& dir, bool replace) {
  std::error_code ec;
  const std::filesystem::path d = Utf8Path(dir);
  if (!std::filesystem::is_directory(d, ec)) {
    std::filesystem::create_directories(d, ec);
    if (!std::filesystem::is_directory(d, ec)) return {WriteOutcome::NoDirectory, dir};
  }
  if (PlotsendHoldsWorkDir(dir)) return {WriteOutcome::HeldByPlotsend, dir};
  if (!replace && std::filesystem::exists(Utf8Path(dir + kJobPltName), ec))
    return {WriteOutcome::JobPending, dir + kJobPltName};
  return {WriteOutcome::Written, ""};
}

WriteResult WriteWorkFiles(const std::string& dir, const std::vector<WorkFile>& files, bool replace) {
  if (WriteResult check = CheckWorkDirectory(dir, replace); check.outcome != WriteOutcome::Written) return check;
  std::error_code ec;

  // Every file is written aside first; only then are they renamed in.
  size_t written = 0;
  for (; written < files.size(); ++written) {
    if (!WriteWhole(TempName(dir + files[written].name), files[written].content)) break;
  }
  if (written < files.size()) {
    for (size_t i = 0; i <= written && i < files.size(); ++i) RemoveQuietly(TempName(dir + files[i].name));
    return {WriteOutcome::WriteFailed, dir + files[written].name};
  }
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string path = dir + files[i].name;
    std::filesystem::rename(Utf8Path(TempName(path)), Utf8Path(path), ec);
    if (ec) {
      for (size_t j = i; j < files.size(); ++j) RemoveQuietly(TempName(dir + files[j].name));
      return {WriteOutcome::WriteFailed, path};
    }
  }
  return {WriteOutcome::Written, ""};
}

}  // namespace plotmark
