// Ports through which the installer reaches the platform. Every path is UTF-8
// in Windows form (drive letter, backslashes); an adapter maps it to what its
// platform opens. Every operation reports success and never throws.
#pragma once

#include <string>
#include <vector>

namespace barsetup {

// Read-only registry of the current user (HKEY_CURRENT_USER).
class RegistryPort {
 public:
  virtual ~RegistryPort() = default;
  // Reads the string value valueName of the key keyPath ("Software\Corel\...")
  // into *value as UTF-8. False when the key or the value does not exist or the
  // value is not a string.
  virtual bool ReadString(const std::string& keyPath, const std::string& valueName, std::string* value) = 0;
};

// One entry of a directory listing ("." and ".." are never listed).
struct DirEntry {
  enum class Kind { File, Directory, Link };  // Link: symbolic link or reparse point
  std::string name;
  Kind kind = Kind::File;
};

class FileSystemPort {
 public:
  virtual ~FileSystemPort() = default;
  // Whether the path names anything (its attributes can be read).
  virtual bool Exists(const std::string& path) = 0;
  // Creates one directory; its parent must exist.
  virtual bool CreateDirectory(const std::string& path) = 0;
  // Copies a file, replacing a file at the target.
  virtual bool CopyFile(const std::string& source, const std::string& target) = 0;
  // Moves a file over target, replacing it; both lie in one directory. The
  // file keeps what the user set on target (owner and permissions on POSIX,
  // attributes on Windows); when that cannot be kept, nothing is moved.
  virtual bool MoveFile(const std::string& source, const std::string& target) = 0;
  // Deletes a file or a symbolic link (never what the link points to).
  virtual bool DeleteFile(const std::string& path) = 0;
  // Removes an empty directory, or a link to a directory.
  virtual bool RemoveDirectory(const std::string& path) = 0;
  // The entries of a directory. False when it cannot be listed.
  virtual bool ListDirectory(const std::string& path, std::vector<DirEntry>* entries) = 0;
  // Creates or replaces a file holding exactly bytes.
  virtual bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) = 0;
  // Reads a whole file.
  virtual bool ReadFile(const std::string& path, std::vector<unsigned char>* bytes) = 0;
  // Creates a new directory that only the current user can use, under the
  // user's temporary directory; *path receives it without trailing backslash.
  virtual bool CreatePrivateTempDirectory(std::string* path) = 0;
};

// Resources of the running program's own file, custom types by name and id.
class ResourcePort {
 public:
  virtual ~ResourcePort() = default;
  // The bytes of the resource. False when it cannot be found or loaded, with
  // the system's text for the error in *errorText.
  virtual bool Load(const std::string& type, int id, std::vector<unsigned char>* bytes, std::string* errorText) = 0;
};

// How one child process ended.
struct ChildRun {
  bool started = false;    // the process was created and its output drained
  bool exitKnown = false;  // exitCode holds its exit status
  int exitCode = 0;        // killed by a signal: 128 + the signal number
};

class ChildProcessPort {
 public:
  virtual ~ChildProcessPort() = default;
  // Starts commandLine (Windows rules: the first word is the program, found by
  // the system's search starting at the program's own directory), with its
  // standard output and error on a pipe and no window, and reads that pipe
  // until every writer has closed it. The output is discarded.
  virtual ChildRun Run(const std::string& commandLine) = 0;
};

enum class MessageStyle {
  Result,       // the final message: OK only, exclamation icon, system modal
  Information,  // information icon, OK only
};

class MessagePort {
 public:
  virtual ~MessagePort() = default;
  // Shows text and returns once the user has dismissed it. The title is the
  // program file's name without extension.
  virtual void Show(const std::string& text, MessageStyle style) = 0;
  // Asks with Retry and Cancel (warning icon, system modal); true for Retry.
  virtual bool AskRetry(const std::string& text) = 0;
};

// The programs that run now.
class ProcessListPort {
 public:
  virtual ~ProcessListPort() = default;
  // Whether a process runs whose program file has this name (without
  // directory; case ignored, as Windows compares file names). False also
  // when the processes cannot be listed.
  virtual bool IsRunning(const std::string& imageName) = 0;
};

class SleepPort {
 public:
  virtual ~SleepPort() = default;
  virtual void Sleep(int milliseconds) = 0;
};

// The ports of one run. resources is null where the platform provides the
// archiver itself (the terminal program finds 7z on the PATH): nothing is then
// written out of resources. processes is null where the CorelDRAW that the
// installer serves cannot be seen running (the terminal program): the check
// for it is then skipped.
struct InstallerPorts {
  RegistryPort& registry;
  FileSystemPort& files;
  ResourcePort* resources;
  ChildProcessPort& child;
  MessagePort& message;
  SleepPort& sleep;
  ProcessListPort* processes = nullptr;
};

}  // namespace barsetup
