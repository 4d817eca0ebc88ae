#include "installer/file_tree.h"

#include <vector>

#include "installer/icon_files.h"

namespace barsetup {

bool DeleteDirectoryTree(FileSystemPort& files, const std::string& path) {
  std::vector<DirEntry> entries;
  if (!files.ListDirectory(path, &entries)) return false;
  for (const DirEntry& entry : entries) {
    const std::string child = path + "\\" + entry.name;
    switch (entry.kind) {
      case DirEntry::Kind::Directory: DeleteDirectoryTree(files, child); break;
      case DirEntry::Kind::Link:
        if (!files.DeleteFile(child)) files.RemoveDirectory(child);
        break;
      case DirEntry::Kind::File: files.DeleteFile(child); break;
    }
  }
  return files.RemoveDirectory(path);
}

void CopyIcons(FileSystemPort& files, const std::string& sourceDir, const std::string& unpackDir) {
  const std::string iconDir = unpackDir + "\\content\\icons";
  if (!files.Exists(iconDir)) files.CreateDirectory(iconDir);
  for (std::string_view name : IconFiles) {
    files.CopyFile(sourceDir + std::string(name), iconDir + "\\" + std::string(name));
  }
}

void DeleteSourceIcons(FileSystemPort& files, const std::string& dir) {
  for (std::string_view name : IconFiles) files.DeleteFile(dir + std::string(name));
}

bool KeepBackup(FileSystemPort& files, const std::string& path) {
  const std::string backup = path + ".bak";
  if (!files.Exists(path) || files.Exists(backup)) return true;
  return files.CopyFile(path, backup);
}

}  // namespace barsetup
