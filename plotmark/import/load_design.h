#pragma once
// Tells SVG from HP-GL by the file's content and imports it.
#include <string>
#include <string_view>

#include "import/design.h"

namespace plotmark {

enum class DesignFormat { Svg, Hpgl, CompressedSvg, Unknown };

DesignFormat DetectFormat(std::string_view text);

ImportResult ImportDesign(const std::string& text, const ImportOptions& options);

}  // namespace plotmark
