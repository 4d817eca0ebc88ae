// The XML 1.0 Name production, for the names that edits write into a
// document's text.
#pragma once

#include <cstdint>
#include <string_view>

#include "xml/xml_platform.h"

namespace barsetup {

bool IsNameStartChar(uint32_t c);
bool IsNameChar(uint32_t c);

// Whether name, in textCodePage as the document holds it, is an XML Name
// that the document's own scans read back whole.
bool IsXmlName(std::string_view name, int textCodePage, const XmlPlatform& platform);

}  // namespace barsetup
