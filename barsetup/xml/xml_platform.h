// Port through which the XML component reaches the platform: code page
// conversion to and from UTF-16, and the few file operations that need the
// platform's own path handling and error texts.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace barsetup {

// A failed file operation as the system describes it.
struct FileError {
  std::string message;  // first line of the system's text, UTF-8; may be empty
  long number = 0;      // the system's error number
};

class XmlPlatform {
 public:
  virtual ~XmlPlatform() = default;

  // The process's ANSI code page (GetACP on Windows).
  virtual int SystemCodePage() const = 0;

  // Whether ToWide/FromWide can convert this code page.
  virtual bool SupportsCodePage(int codePage) const = 0;

  // Bytes in codePage to UTF-16 units. Invalid input becomes U+FFFD and sets
  // *lossy. Returns false when the code page cannot be converted at all.
  virtual bool ToWide(int codePage, std::string_view in, std::u16string& out, bool* lossy) const = 0;

  // UTF-16 units to bytes in codePage. Characters without a form in the code
  // page become its default character; *usedDefault reports that, when
  // checkDefault is set. Returns false when the code page cannot be converted.
  virtual bool FromWide(int codePage, std::u16string_view in, std::string& out, bool checkDefault,
                        bool* usedDefault) const = 0;

  // fopen with a UTF-8 path.
  virtual std::FILE* OpenFile(const std::string& path, const char* mode) const = 0;
  // The file that writing to path changes: path itself, or, when path is a
  // symbolic link, the end of its chain of links. False, with the error for
  // LastFileError, when the chain cannot be followed (a loop, say).
  virtual bool FinalPath(const std::string& path, std::string* target) const = 0;
  // Moves source over target, replacing target if it exists. The file keeps
  // what the user set on target: owner, group and permissions on POSIX (when
  // they cannot be given to source, target is not replaced), the read-only,
  // hidden, system and not-indexed attributes on Windows.
  virtual bool ReplaceFile(const std::string& source, const std::string& target) const = 0;
  virtual void RemoveFile(const std::string& path) const = 0;
  // The error of the file operation that just failed.
  virtual FileError LastFileError() const = 0;
  // The system's error for a file too large to be held.
  virtual FileError FileTooLargeError() const = 0;
};

// The adapter of the platform the program is built for.
const XmlPlatform& DefaultXmlPlatform();

}  // namespace barsetup
