// The 7-Zip console archiver: written out of the program's resources, and run
// as a child process with the unpack and repack command lines.
#pragma once

#include <string>
#include <vector>

#include "installer/installer_ports.h"

namespace barsetup {

class Archiver {
 public:
  // programDir: the installer's directory, with its trailing backslash.
  Archiver(InstallerPorts& ports, std::string programDir);
  Archiver(const Archiver&) = delete;
  Archiver& operator=(const Archiver&) = delete;
  ~Archiver();

  // Writes "7z.dll" and "7z.exe" (resources DLL7Z 131, EXE7Z 132) into the
  // program directory. A missing resource is reported in an information
  // message. When the directory cannot be written, the files go into a
  // private temporary directory instead, for this and all later calls, and
  // the archiver is run from there by its full path.
  void ExtractArchiver();

  // x -r -y "package" -o"directory"
  std::string UnpackCommand(const std::string& package, const std::string& directory) const;
  // a -tzip -r "package" "directory\*"
  std::string RepackCommand(const std::string& package, const std::string& directory) const;

  // Runs one command line and drains its output; then pauses 500 ms so that
  // the file system settles before the next step touches the same files.
  ChildRun RunArchiver(const std::string& commandLine);

  // The private directory, when one was made; empty otherwise.
  const std::string& PrivateDirectory() const { return privateDir_; }

 private:
  struct LoadedFile {
    std::string name;
    std::vector<unsigned char> bytes;
  };
  // False when a file could not be written.
  bool WriteFiles(const std::vector<LoadedFile>& loaded, const std::string& dir);

  InstallerPorts& ports_;
  std::string programDir_;
  std::string privateDir_;
  std::string program_ = "7z.exe";
};

}  // namespace barsetup
