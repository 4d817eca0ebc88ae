#pragma once
// The registration mark schematics of the job preview, one per mark type.
#include <cstdint>

#include "job/mark_ref.h"
#include "ui/canvas.h"

namespace plotsend {

// Draws the schematic of the mark type (1..9) into `box`; other types draw
// nothing. The sectioned types show the borders of their sections.
void DrawMarkSchematic(Canvas& canvas, const PixelRect& box, const MarkRef& mark);

}  // namespace plotsend
