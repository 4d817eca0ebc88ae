// The file system port over the wide-character Win32 file functions.
#pragma once

#include "installer/installer_ports.h"

namespace barsetup {

class WinFileSystem : public FileSystemPort {
 public:
  bool Exists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  bool CopyFile(const std::string& source, const std::string& target) override;
  bool MoveFile(const std::string& source, const std::string& target) override;
  bool DeleteFile(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool ListDirectory(const std::string& path, std::vector<DirEntry>* entries) override;
  bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) override;
  bool ReadFile(const std::string& path, std::vector<unsigned char>* bytes) override;
  // A new directory under the user's temporary directory (GetTempPathW),
  // which only that user can open.
  bool CreatePrivateTempDirectory(std::string* path) override;
};

}  // namespace barsetup
