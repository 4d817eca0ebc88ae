#pragma once
// Pictures for icons, kept in the source as rows of characters: each
// character is a key into the picture's palette of colours.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace icons {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba&) const = default;
};

struct PaletteEntry {
  char key = '.';
  Rgba colour;
};

// Rows top to bottom, all of one length; every character a palette key.
struct CharPicture {
  std::span<const PaletteEntry> palette;
  std::span<const std::string_view> rows;
};

// Pixels row by row, top row first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;
  const Rgba& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// False, with the reason, when the picture has no rows, rows of different
// lengths, or a character its palette does not know.
bool ToImage(const CharPicture& picture, Image& image, std::string& error);

}  // namespace icons
