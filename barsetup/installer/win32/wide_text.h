// UTF-8 to UTF-16 and back at the Win32 boundary.
#pragma once

#include <string>
#include <string_view>

namespace barsetup {

// Invalid input turns into U+FFFD rather than being dropped.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

}  // namespace barsetup
