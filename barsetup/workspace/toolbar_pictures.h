// The button pictures of both toolbar variants, kept as readable sources:
// character rows over one palette (the icon component's picture type). The
// same sources give the bitmaps of the item definitions and the button
// icon files.
#pragma once

#include <array>
#include <string_view>

#include "common/icons/picture.h"

namespace barsetup {

using icons::CharPicture;

// The colours of every button picture, in bitmap palette order. The first,
// '.', is the background: its colour in bitmaps, transparent in icons.
inline constexpr std::array<icons::PaletteEntry, 7> kButtonPalette = {{
    {'.', {192, 192, 192, 0}},
    {'K', {0, 0, 0, 255}},
    {'W', {255, 255, 255, 255}},
    {'R', {210, 30, 30, 255}},
    {'B', {30, 90, 200, 255}},
    {'G', {0, 150, 40, 255}},
    {'g', {110, 110, 110, 255}},
}};

// Position of a pixel character in the picture's palette; -1 when it has none.
constexpr int PaletteIndex(const CharPicture& p, char key) {
  for (size_t i = 0; i < p.palette.size(); ++i) {
    if (p.palette[i].key == key) return static_cast<int>(i);
  }
  return -1;
}

// Width and height of a square picture.
constexpr int PictureSize(const CharPicture& p) { return static_cast<int>(p.rows.size()); }

// Whether a picture is a square of 16 or 24 pixels in at most 256 colours,
// every pixel one of them.
constexpr bool IsButtonPicture(const CharPicture& p) {
  const size_t n = p.rows.size();
  if ((n != 16 && n != 24) || p.palette.empty() || p.palette.size() > 256) return false;
  for (std::string_view row : p.rows) {
    if (row.size() != n) return false;
    for (char c : row) {
      if (PaletteIndex(p, c) < 0) return false;
    }
  }
  return true;
}

// Standard variant.
extern const CharPicture kAddHandMarkSmall;
extern const CharPicture kAddHandMarkLarge;
extern const CharPicture kAddAutoMarkSmall;
extern const CharPicture kAddAutoMarkLarge;
extern const CharPicture kAddCircleMarkSmall;
// Both variants.
extern const CharPicture kDeleteMarkSmall;
extern const CharPicture kOutputSmall;
extern const CharPicture kOutputLarge;
extern const CharPicture kOutputOutlineSmall;
extern const CharPicture kOutputOutlineLarge;
// Q5 variant.
extern const CharPicture kAddBoundaryLineSmall;
extern const CharPicture kAddFourLMark2Small;
extern const CharPicture kAddCircleMarkQ5Small;

// The thirteen distinct pictures.
std::array<const CharPicture*, 13> AllPictures();

}  // namespace barsetup
