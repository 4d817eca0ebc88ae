#include "common/icons/picture.h"

#include <array>

namespace icons {

bool ToImage(const CharPicture& picture, Image& image, std::string& error) {
  if (picture.rows.empty() || picture.rows.front().empty()) {
    error = "the picture has no pixels";
    return false;
  }
  // A table by character, so that each pixel is one look-up.
  std::array<int, 256> index;
  index.fill(-1);
  for (size_t i = 0; i < picture.palette.size(); ++i) {
    index[static_cast<unsigned char>(picture.palette[i].key)] = static_cast<int>(i);
  }
  const size_t width = picture.rows.front().size();
  std::vector<Rgba> pixels;
  pixels.reserve(width * picture.rows.size());
  for (size_t y = 0; y < picture.rows.size(); ++y) {
    const std::string_view row = picture.rows[y];
    if (row.size() != width) {
      error = "row " + std::to_string(y) + " is " + std::to_string(row.size()) + " pixels long, not " +
              std::to_string(width);
      return false;
    }
    for (size_t x = 0; x < width; ++x) {
      const int i = index[static_cast<unsigned char>(row[x])];
      if (i < 0) {
        error = "row " + std::to_string(y) + " column " + std::to_string(x) + ": '" + std::string(1, row[x]) +
                "' is not in the palette";
        return false;
      }
      pixels.push_back(picture.palette[static_cast<size_t>(i)].colour);
    }
  }
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(picture.rows.size());
  image.pixels = std::move(pixels);
  return true;
}

}  // namespace icons
