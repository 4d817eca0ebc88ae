#include "installer/archiver.h"

#include <utility>
#include <vector>

#include "installer/file_tree.h"

namespace barsetup {
namespace {

struct ArchiverResource {
  const char* type;
  int id;
  const char* fileName;
};

constexpr ArchiverResource kResources[] = {{"DLL7Z", 131, "7z.dll"}, {"EXE7Z", 132, "7z.exe"}};

constexpr int kSettleMilliseconds = 500;

}  // namespace

Archiver::Archiver(InstallerPorts& ports, std::string programDir) : ports_(ports), programDir_(std::move(programDir)) {}

Archiver::~Archiver() {
  if (!privateDir_.empty()) DeleteDirectoryTree(ports_.files, privateDir_);
}

void Archiver::ExtractArchiver() {
  if (ports_.resources == nullptr) return;
  std::vector<LoadedFile> loaded;
  for (const ArchiverResource& r : kResources) {
    LoadedFile file{r.fileName, {}};
    std::string errorText;
    if (ports_.resources->Load(r.type, r.id, &file.bytes, &errorText)) {
      loaded.push_back(std::move(file));
    } else {
      ports_.message.Show(errorText, MessageStyle::Information);
    }
  }
  if (privateDir_.empty()) {
    if (WriteFiles(loaded, programDir_)) return;
    if (!ports_.files.CreatePrivateTempDirectory(&privateDir_)) {
      privateDir_.clear();
      return;
    }
    program_ = "\"" + privateDir_ + "\\7z.exe\"";
  }
  WriteFiles(loaded, privateDir_ + "\\");
}

bool Archiver::WriteFiles(const std::vector<LoadedFile>& loaded, const std::string& dir) {
  bool written = true;
  for (const LoadedFile& file : loaded) {
    written = ports_.files.WriteFile(dir + file.name, file.bytes) && written;
  }
  return written;
}

std::string Archiver::UnpackCommand(const std::string& package, const std::string& directory) const {
  return program_ + " x -r -y \"" + package + "\" -o\"" + directory + "\"";
}

std::string Archiver::RepackCommand(const std::string& package, const std::string& directory) const {
  return program_ + " a -tzip -r \"" + package + "\" \"" + directory + "\\*\"";
}

ChildRun Archiver::RunArchiver(const std::string& commandLine) {
  const ChildRun run = ports_.child.Run(commandLine);
  ports_.sleep.Sleep(kSettleMilliseconds);
  return run;
}

}  // namespace barsetup
