#include "import/svg_colour.h"

#include "import/svg_import.h"

namespace plotmark {

std::optional<Colour> ParseSvgColour(const std::string& text) {
  if (text.empty() || text.find_first_of("\"<>&") != std::string::npos) return std::nullopt;
  const std::string probe =
      "<svg xmlns=\"http://www.w3.org/2000/svg\"><path stroke=\"" + text + "\" d=\"M0 0L1 1\"/></svg>";
  const ImportResult r = ImportSvg(probe, {});
  if (r.error != ImportError::None || r.design.paths.size() != 1) return std::nullopt;
  return r.design.paths[0].stroke;
}

}  // namespace plotmark
