// Small text helpers for the installer's UTF-8 paths in Windows form.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace barsetup {

// The Windows path buffers hold 259 UTF-16 units and the terminating zero:
// registry values that do not fit are treated as absent.
inline constexpr size_t kPathBufferUnits = 260;

// The number of UTF-16 units that the UTF-8 text takes.
size_t Utf16Length(std::string_view text);
bool FitsPathBuffer(std::string_view text);

// The number of characters (code points) of UTF-8 text.
size_t CharacterCount(std::string_view text);
// text without its last count characters; empty when it has no more.
std::string DropLastCharacters(std::string_view text, size_t count);

// Whether text is a full Windows path, one that names the same file whatever
// the current drive and directory: a drive letter, ":" and a separator
// ("C:\..."), or a share ("\\server\...").
bool IsFullWindowsPath(std::string_view text);

// ASCII case-insensitive ending test, as Windows compares file extensions.
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// The directory of a program path, cut after its last backslash (or slash),
// which stays.
std::string ModuleDirectory(std::string_view programPath);

}  // namespace barsetup
