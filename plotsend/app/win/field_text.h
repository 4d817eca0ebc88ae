#pragma once
// The main dialog's edit fields as text: the value an edit's text stands
// for, and the text an edit shows for a value. A text that is no value of
// its field (empty, other characters, out of range) gives nothing, so the
// field keeps its last value and the user's text can be corrected.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plotsend::win32 {

// A decimal number in the C locale ("0.35", "-2", "1e-3"), blanks around it
// allowed; nothing for anything else, infinities or NaN.
std::optional<double> ParseRealField(std::string_view text);
// A whole number with an optional sign, blanks around it allowed, within
// [minimum, maximum].
std::optional<int64_t> ParseIntegerField(std::string_view text, int64_t minimum, int64_t maximum);
// A section number for the From and To edits: 0 to 255.
std::optional<uint8_t> ParseSectionField(std::string_view text);

// The shortest text that reads back as the same value ("0.35", "12").
std::string FormatRealField(double value);

// A Win32 file-dialog filter from its '|'-separated form: every '|' becomes
// a NUL and the list ends with two NULs.
std::wstring FileDialogFilter(std::wstring_view piped);

}  // namespace plotsend::win32
