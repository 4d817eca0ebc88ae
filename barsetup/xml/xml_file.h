// Loading and saving markup files in their own encoding: byte-order marks,
// declared encodings, UTF-8 detection, NUL removal and UTF-16BE swapping.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/xml_platform.h"

namespace barsetup {

// Reads path into text (held in textCodePage). Records go to *result and
// the encoding flags (UTF-16LE, UTF-8 mark, UTF-16BE) to *flags.
bool LoadTextFile(const std::string& path, std::string& text, std::string* result, uint32_t* flags,
                  const XmlPlatform& platform, int textCodePage);

// Writes text in the encoding that *flags or its declaration name. The file
// is written beside the target and moved over it only when complete.
bool SaveTextFile(const std::string& path, std::string_view text, std::string* result, uint32_t* flags,
                  const XmlPlatform& platform, int textCodePage);

// The encoding an XML declaration or an HTML meta tag names; empty if none.
std::string FindDeclaredEncoding(std::string_view text);

// The lax UTF-8 test: sequences by their lead byte, any byte from 0x80 up as
// continuation, up to the first NUL. *nonAscii counts the sequences.
bool IsUtf8Text(std::string_view text, size_t* nonAscii);

// Code page of an encoding that can be converted: the empty name stands for
// textCodePage; unknown or unconvertible names give kUnknownCodePage.
int ConvertibleCodePage(std::string_view name, const XmlPlatform& platform, int textCodePage);

// Whether two encoding names call for a conversion: both known and different.
bool EncodingsDiffer(std::string_view a, std::string_view b, const XmlPlatform& platform, int textCodePage);

}  // namespace barsetup
