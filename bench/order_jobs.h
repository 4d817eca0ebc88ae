#pragma once
// Generated sections for the cut-order benchmark and tests: the same
// options always give the same paths (integer arithmetic, own generator).
#include <cstdint>

#include "job/section_paths.h"

namespace plotsend {

// A grid of small round-cornered stickers (closed paths), listed in random
// order, each starting at a random vertex.
SectionPaths StickerGrid(int columns, int rows, uint64_t seed);

// Rows of text-like glyphs: each an outline with zero to two counters inside
// it, drawn outline first, glyph after glyph along the rows.
SectionPaths GlyphRows(int glyphs, uint64_t seed);

// Short open paths of two to four points scattered over a square sheet,
// in random order.
SectionPaths ShortPaths(int count, uint64_t seed);

}  // namespace plotsend
