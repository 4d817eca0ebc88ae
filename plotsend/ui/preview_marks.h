#pragma once
// The registration mark schematics of the job preview, one per mark type.
#include <cstdint>

#include "canvas.h"

namespace plotsend {

// Draws the schematic of `markType` (1..9) into `box`; other types draw
// nothing. Types 8 and 9 show the section borders of `sectionCount`
// sections (0 counts as 1).
void DrawMarkSchematic(Canvas& canvas, const PixelRect& box, uint8_t markType, uint8_t sectionCount);

}  // namespace plotsend
