#pragma once
// UTF-8 inside the programs, UTF-16 at the Win32 API, and the system's texts
// for error codes.
//
// One rule for text that is not well-formed UTF-8 (a stray or cut-off
// sequence, an overlong form, an encoded surrogate, a code point beyond
// U+10FFFF): it is refused as a whole, never patched, so that a broken name
// fails instead of naming another file. Only text meant for the eye is
// shown anyway, byte by byte.
#include <optional>
#include <string>
#include <string_view>

namespace plotara {

// The text in UTF-16; nullopt when it is not UTF-8 or too long for the API.
std::optional<std::wstring> ToWide(std::string_view utf8);
// For showing: the text in UTF-16, or, when it is not UTF-8, each byte as
// the character of that number (ISO 8859-1), so that nothing shown is lost.
std::wstring ToWideForDisplay(std::string_view text);
// The text in UTF-8; a surrogate that is half of no pair becomes U+FFFD.
std::string ToUtf8(std::wstring_view wide);

// The system's message for an error code (no inserts filled in), in UTF-8
// without the trailing line break; empty when the system has none.
std::string SystemMessage(unsigned long code);
// The system's message, or "Error N" when it has none.
std::string SystemErrorText(unsigned long code);

}  // namespace plotara
