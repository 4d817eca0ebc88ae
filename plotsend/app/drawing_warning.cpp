#include "app/drawing_warning.h"

namespace plotsend {

std::string DrawingWarning(const DrawingFindings& findings, Language language) {
  if (!findings.Any()) return {};
  std::string found;
  const auto add = [&found](std::string_view item) {
    if (!found.empty()) found += ", ";
    found += item;
  };
  for (size_t i = 0; i < kIgnoredGeometry.size(); ++i) {
    if ((findings.ignoredCommands >> i) & 1) add(kIgnoredGeometry[i]);
  }
  if (findings.bareUpDown) add(Text(TextId::DrawingBarePen, language));
  if (findings.decimalCoordinates) add(Text(TextId::DrawingDecimals, language));
  if (findings.outOfRange) add(Text(TextId::DrawingOutOfRange, language));
  if (findings.tooLarge) add(Text(TextId::DrawingTooLarge, language));
  std::string text = Text(TextId::DrawingUses, language);
  text.replace(text.find("%s"), 2, found);
  return text;
}

}  // namespace plotsend
