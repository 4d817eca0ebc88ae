// Conversion of text between code pages. UTF-8, UTF-16 and UTF-32 are
// converted here; every other code page goes through the platform port.
// UTF-16 and UTF-32 data are byte strings of little-endian units.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/xml_platform.h"

namespace barsetup {

struct ConversionResult {
  bool ok = true;     // false: the code pages cannot be converted
  bool loss = false;  // some character had no form in the target
};

// Whether the wide-to-multibyte conversion may be asked whether it had to use
// the default character (not for the stateful and the UTF code pages).
bool RequestsDefaultCharacter(int codePage);

// Whether a code page can be converted at all (the UTF forms always can).
bool CanConvertCodePage(int codePage, const XmlPlatform& platform);

// Converts source from sourceCp into out (replaced) in targetCp.
ConversionResult ConvertCodePage(int sourceCp, std::string_view source, int targetCp, std::string& out,
                                 const XmlPlatform& platform);

// The same by encoding name; the empty name stands for textCodePage.
ConversionResult ConvertText(std::string_view sourceName, std::string_view source, std::string_view targetName,
                             std::string& out, const XmlPlatform& platform, int textCodePage);

// Appends one code point as UTF-8; surrogate code points take the three-byte
// form so that unpaired UTF-16 units survive a round trip.
void AppendUtf8(std::string& out, uint32_t codePoint);

// One code point in codePage; empty when it has no form there.
std::string EncodeCodePoint(uint32_t codePoint, int codePage, const XmlPlatform& platform);

// UTF-8 (with the three-byte surrogate form) to UTF-16; invalid bytes become
// U+FFFD and set *loss.
void Utf8ToUtf16(std::string_view in, std::u16string& out, bool* loss);
void Utf16ToUtf8(std::u16string_view in, std::string& out);

}  // namespace barsetup
