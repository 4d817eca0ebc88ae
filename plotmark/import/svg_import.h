#pragma once
// SVG designs: paths and basic shapes under nested transforms and
// viewports, in millimetres (96 px to the inch), curves flattened to
// within kFlatnessMm.
#include <string>

#include "import/design.h"

namespace plotmark {

// `text` is the whole file; it is copied, since the XML parser works in place.
ImportResult ImportSvg(const std::string& text, const ImportOptions& options);

// Deeper element nesting than this is refused before parsing, as the parser
// and the traversal recurse once per level.
inline constexpr int kMaxSvgDepth = 512;

}  // namespace plotmark
