// Escaping of text written into markup, and decoding of attribute values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/xml_platform.h"

namespace barsetup {

inline constexpr unsigned kEscapeKeepReferences = 0x0008;
inline constexpr unsigned kEscapeQuotes = 0x0100;

// Appends in to out with "&", "<" and ">" escaped; with kEscapeQuotes also
// '"' and "'"; with kEscapeKeepReferences an "&" that starts an entity or
// character reference is copied unchanged.
void AppendEscaped(std::string& out, std::string_view in, unsigned flags);
std::string Escape(std::string_view in, unsigned flags);

// Code point of an entity name: the exact name first, then its lower-case
// form; 0 when unknown.
uint32_t LookupEntity(std::string_view name);
size_t EntityCount();

// Replaces the references of an attribute value by their characters in the
// text code page. A reference that is unknown, is 0, or has no form in that
// code page stays as written.
std::string DecodeValue(std::string_view value, int textCodePage, const XmlPlatform& platform);

}  // namespace barsetup
