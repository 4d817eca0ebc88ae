#pragma once
// A colour as SVG writes it (#rgb, #rrggbb, rgb(...), a colour name), read
// by the same parser as the design's own colours.
#include <optional>
#include <string>

#include "import/design.h"

namespace plotmark {

std::optional<Colour> ParseSvgColour(const std::string& text);

}  // namespace plotmark
