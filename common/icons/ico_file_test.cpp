#include <gtest/gtest.h>

#include <algorithm>

#include "common/icons/ico_file.h"
#include "common/icons/icon_set.h"
#include "common/icons/picture.h"
#include "common/icons/plotsend_icon.h"

namespace icons {
namespace {

uint32_t Read16(const std::vector<uint8_t>& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t Read32(const std::vector<uint8_t>& b, size_t at) { return Read16(b, at) | Read16(b, at + 2) << 16; }

constexpr Rgba kClear{0, 0, 0, 0};
constexpr Rgba kRed{200, 10, 20, 255};
constexpr Rgba kHalfBlue{5, 6, 250, 128};

Image Filled(int width, int height, Rgba colour) {
  return Image{width, height, std::vector<Rgba>(static_cast<size_t>(width) * height, colour)};
}

void Set(Image& image, int x, int y, Rgba colour) { image.pixels[static_cast<size_t>(y) * image.width + x] = colour; }

TEST(CharPicture, ConvertsRowsThroughThePalette) {
  constexpr PaletteEntry palette[] = {{'.', kClear}, {'r', kRed}, {'b', kHalfBlue}};
  constexpr std::string_view rows[] = {"r..", ".b.", "..r"};
  Image image;
  std::string error;
  ASSERT_TRUE(ToImage({palette, rows}, image, error)) << error;
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 3);
  EXPECT_EQ(image.At(0, 0), kRed);
  EXPECT_EQ(image.At(1, 0), kClear);
  EXPECT_EQ(image.At(1, 1), kHalfBlue);
  EXPECT_EQ(image.At(2, 2), kRed);
}

TEST(CharPicture, RejectsRaggedRowsUnknownKeysAndNothing) {
  constexpr PaletteEntry palette[] = {{'.', kClear}, {'r', kRed}};
  constexpr std::string_view ragged[] = {"r..", ".r"};
  constexpr std::string_view unknown[] = {"r..", ".x."};
  Image image;
  std::string error;
  EXPECT_FALSE(ToImage({palette, ragged}, image, error));
  EXPECT_NE(error.find("row 1"), std::string::npos) << error;
  EXPECT_FALSE(ToImage({palette, unknown}, image, error));
  EXPECT_NE(error.find("'x'"), std::string::npos) << error;
  EXPECT_FALSE(ToImage({palette, {}}, image, error));
  EXPECT_EQ(image.width, 0);  // left as it was on failure
}

// Reads one image back out of the file as Windows does: directory entry,
// BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask.
struct Decoded {
  Image image;
  std::vector<bool> transparent;  // from the AND mask
};

Decoded DecodeEntry(const std::vector<uint8_t>& file, size_t n) {
  const size_t entry = 6 + 16 * n;
  Decoded d;
  const int w = file.at(entry) == 0 ? 256 : file.at(entry);
  const int h = file.at(entry + 1) == 0 ? 256 : file.at(entry + 1);
  EXPECT_EQ(file.at(entry + 2), 0);  // no palette
  EXPECT_EQ(Read16(file, entry + 4), 1u);
  EXPECT_EQ(Read16(file, entry + 6), 32u);
  const size_t size = Read32(file, entry + 8);
  const size_t at = Read32(file, entry + 12);
  EXPECT_LE(at + size, file.size());
  EXPECT_EQ(Read32(file, at), 40u);
  EXPECT_EQ(Read32(file, at + 4), static_cast<uint32_t>(w));
  EXPECT_EQ(Read32(file, at + 8), static_cast<uint32_t>(2 * h));
  EXPECT_EQ(Read16(file, at + 12), 1u);
  EXPECT_EQ(Read16(file, at + 14), 32u);
  EXPECT_EQ(Read32(file, at + 16), 0u);  // BI_RGB
  const size_t maskRow = (static_cast<size_t>(w) + 31) / 32 * 4;
  EXPECT_EQ(size, 40 + static_cast<size_t>(w) * h * 4 + maskRow * h);
  d.image = Filled(w, h, kClear);
  d.transparent.assign(static_cast<size_t>(w) * h, false);
  const size_t colours = at + 40;
  const size_t mask = colours + static_cast<size_t>(w) * h * 4;
  for (int y = 0; y < h; ++y) {
    const size_t row = static_cast<size_t>(h - 1 - y);
    for (int x = 0; x < w; ++x) {
      const size_t p = colours + (row * w + x) * 4;
      Set(d.image, x, y, Rgba{file.at(p + 2), file.at(p + 1), file.at(p), file.at(p + 3)});
      const uint8_t bits = file.at(mask + row * maskRow + x / 8);
      d.transparent[static_cast<size_t>(y) * w + x] = (bits & (0x80 >> (x % 8))) != 0;
    }
  }
  return d;
}

TEST(IcoFile, DirectoryAndBitmapsReadBack) {
  // Sizes that need mask padding (24, 33) and one of 256, written as 0.
  std::vector<Image> images{Filled(16, 16, kRed), Filled(24, 24, kClear), Filled(33, 5, kHalfBlue),
                            Filled(256, 256, kRed)};
  Set(images[0], 3, 0, kClear);
  Set(images[0], 15, 15, kHalfBlue);
  Set(images[1], 23, 2, kRed);
  Set(images[2], 32, 4, kClear);
  Set(images[3], 255, 0, kClear);
  std::vector<uint8_t> file;
  std::string error;
  ASSERT_TRUE(EncodeIco(images, file, error)) << error;

  EXPECT_EQ(Read16(file, 0), 0u);
  EXPECT_EQ(Read16(file, 2), 1u);
  ASSERT_EQ(Read16(file, 4), images.size());
  // The images follow the directory one after another, up to the file's end.
  size_t next = 6 + 16 * images.size();
  for (size_t n = 0; n < images.size(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(Read32(file, 6 + 16 * n + 12), next);
    next += Read32(file, 6 + 16 * n + 8);
    const Decoded d = DecodeEntry(file, n);
    ASSERT_EQ(d.image.width, images[n].width);
    ASSERT_EQ(d.image.height, images[n].height);
    EXPECT_TRUE(d.image.pixels == images[n].pixels);
    for (size_t i = 0; i < images[n].pixels.size(); ++i) {
      ASSERT_EQ(d.transparent[i], images[n].pixels[i].a == 0) << "pixel " << i;
    }
  }
  EXPECT_EQ(next, file.size());
  EXPECT_EQ(file.at(6 + 16 * 3), 0);
}

TEST(IcoFile, RefusesWhatADirectoryCannotHold) {
  std::vector<uint8_t> file{1, 2, 3};
  std::string error;
  EXPECT_FALSE(EncodeIco({}, file, error));
  const Image tooWide = Filled(257, 1, kRed);
  EXPECT_FALSE(EncodeIco({&tooWide, 1}, file, error));
  const Image empty = Filled(0, 16, kRed);
  EXPECT_FALSE(EncodeIco({&empty, 1}, file, error));
  Image short_ = Filled(4, 4, kRed);
  short_.pixels.pop_back();
  EXPECT_FALSE(EncodeIco({&short_, 1}, file, error));
  EXPECT_EQ(file, (std::vector<uint8_t>{1, 2, 3}));  // untouched on failure
}

TEST(PlotsendIcon, FourSizesOfTheSameDrawing) {
  const std::vector<CharPicture> pictures = PlotsendIcon();
  ASSERT_EQ(pictures.size(), 4u);
  const int sides[] = {16, 24, 32, 48};
  for (size_t i = 0; i < pictures.size(); ++i) {
    SCOPED_TRACE(sides[i]);
    Image image;
    std::string error;
    ASSERT_TRUE(ToImage(pictures[i], image, error)) << error;
    EXPECT_EQ(image.width, sides[i]);
    EXPECT_EQ(image.height, sides[i]);
    // Transparent around the drawing, and every size shows the cut line,
    // the blade and its holder.
    EXPECT_EQ(image.At(0, 0).a, 0);
    EXPECT_EQ(image.At(0, sides[i] - 1).a, 0);
    for (char key : {'r', 's', 'b'}) {
      const auto entry = std::find_if(pictures[i].palette.begin(), pictures[i].palette.end(),
                                      [&](const PaletteEntry& e) { return e.key == key; });
      ASSERT_NE(entry, pictures[i].palette.end());
      EXPECT_NE(std::count(image.pixels.begin(), image.pixels.end(), entry->colour), 0) << key;
    }
  }
}

TEST(IconSet, EveryFileEncodes) {
  for (const IconFile& icon : IconSet()) {
    SCOPED_TRACE(icon.name);
    std::vector<Image> images(icon.pictures.size());
    std::string error;
    for (size_t i = 0; i < images.size(); ++i) ASSERT_TRUE(ToImage(icon.pictures[i], images[i], error)) << error;
    std::vector<uint8_t> file;
    EXPECT_TRUE(EncodeIco(images, file, error)) << error;
  }
}

}  // namespace
}  // namespace icons
