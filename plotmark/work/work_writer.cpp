#include "work/work_writer.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "job/job_files.h"
#include "work/file_io.h"

namespace plotmark {

std::string AsideName(const std::string& path) { return path + ".plotara-tmp"; }

bool WriteAside(const std::string& path, const std::string& content) {
  std::ofstream out(Utf8Path(AsideName(path)), std::ios::binary | std::ios::trunc);
  if (out) {
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out.fail()) return true;
  }
  DropAside(path);
  return false;
}

bool PutInPlace(const std::string& path) {
  std::error_code ec;
  std::filesystem::rename(Utf8Path(AsideName(path)), Utf8Path(path), ec);
  if (ec) DropAside(path);
  return !ec;
}

void DropAside(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(Utf8Path(AsideName(path)), ec);
}

WriteResult CheckWorkDirectory(const std::string& dir, bool replace) {
  std::error_code ec;
  const std::filesystem::path d = Utf8Path(dir);
  if (!std::filesystem::is_directory(d, ec)) {
    std::filesystem::create_directories(d, ec);
    if (!std::filesystem::is_directory(d, ec)) return {WriteOutcome::NoDirectory, dir};
  }
  if (!replace && std::filesystem::exists(Utf8Path(dir + kJobPltName), ec))
    return {WriteOutcome::JobPending, dir + kJobPltName};
  return {WriteOutcome::Written, ""};
}

WriteResult WriteWorkFiles(const std::string& dir, const std::vector<WorkFile>& files, bool replace) {
  if (WriteResult check = CheckWorkDirectory(dir, replace); check.outcome != WriteOutcome::Written) return check;
  // Every file is written aside first; only then are they renamed in.
  for (size_t i = 0; i < files.size(); ++i) {
    if (!WriteAside(dir + files[i].name, files[i].content)) {
      for (size_t j = 0; j < i; ++j) DropAside(dir + files[j].name);
      return {WriteOutcome::WriteFailed, dir + files[i].name};
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (!PutInPlace(dir + files[i].name)) {
      for (size_t j = i + 1; j < files.size(); ++j) DropAside(dir + files[j].name);
      return {WriteOutcome::WriteFailed, dir + files[i].name};
    }
  }
  return {WriteOutcome::Written, ""};
}

}  // namespace plotmark
