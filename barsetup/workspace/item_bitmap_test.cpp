// The bitmap record of a picture and its base64 text; the picture sources.
#include "workspace/item_bitmap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "workspace/toolbar_variant.h"
#include "workspace/workspace_test_util.h"

namespace barsetup {
namespace {

uint32_t Le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
  return v;
}

TEST(ItemBitmapRecord, HeaderPaletteAndBottomUpRows) {
  struct Case {
    const CharPicture* picture;
    size_t length;
    uint32_t pixelBytes;
  };
  for (const Case& c : {Case{&kAddHandMarkSmall, 1378, 256}, Case{&kAddHandMarkLarge, 1698, 576}}) {
    const CharPicture& p = *c.picture;
    const int side = PictureSize(p);
    const std::string r = ItemBitmapRecord(p);
    ASSERT_EQ(r.size(), c.length);
    EXPECT_EQ(Le(r, 0, 2), 0xFFFFu);
    EXPECT_EQ(Le(r, 2, 2), 1u);
    EXPECT_EQ(Le(r, 4, 2), 16u);
    EXPECT_EQ(r.substr(6, 16), "WCmnUI_UIItemBmp");
    EXPECT_EQ(r.substr(22, 8), std::string(8, '\0'));
    EXPECT_EQ(Le(r, 30, 4), 40u);
    EXPECT_EQ(Le(r, 34, 4), 1024u);
    EXPECT_EQ(Le(r, 38, 4), c.pixelBytes);
    // BITMAPINFOHEADER.
    const uint32_t size = static_cast<uint32_t>(side);
    const uint32_t header[] = {40, size, size};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Le(r, 42 + 4 * static_cast<size_t>(i), 4), header[i]);
    EXPECT_EQ(Le(r, 54, 2), 1u);  // planes
    EXPECT_EQ(Le(r, 56, 2), 8u);  // bits per pixel
    EXPECT_EQ(Le(r, 58, 4), 0u);  // no compression
    EXPECT_EQ(Le(r, 62, 4), c.pixelBytes);
    EXPECT_EQ(Le(r, 74, 4), 256u);
    EXPECT_EQ(Le(r, 78, 4), 256u);
    // Palette: blue, green, red, zero; background first, black second.
    EXPECT_EQ(r.substr(82, 8), std::string("\xC0\xC0\xC0\0\0\0\0\0", 8));
    EXPECT_EQ(r.substr(82 + 4 * 3, 4), std::string("\x1E\x1E\xD2\0", 4));  // red
    EXPECT_EQ(r.substr(82 + 4 * 7, 1024 - 4 * 7), std::string(1024 - 4 * 7, '\0'));
    // The first stored row is the picture's bottom row.
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        const size_t at = 1106 + static_cast<size_t>((side - 1 - y) * side + x);
        ASSERT_EQ(static_cast<int>(r[at]), PaletteIndex(p, p.rows[static_cast<size_t>(y)][static_cast<size_t>(x)]))
            << x << "," << y;
      }
    }
    EXPECT_EQ(r.substr(r.size() - 16), std::string(16, '\0'));
  }
  // Rows are stored bottom up: the hand mark's black square, top left,
  // comes in the last stored row.
  const std::string small = ItemBitmapRecord(kAddHandMarkSmall);
  EXPECT_EQ(small[1106 + 15 * 16], 1);  // top-left pixel, stored last
  EXPECT_EQ(small[1106], 0);            // bottom-left pixel, stored first
}

TEST(ItemBitmapText, Base64AndLines) {
  EXPECT_EQ(Base64(""), "");
  EXPECT_EQ(Base64("f"), "Zg==");
  EXPECT_EQ(Base64("fo"), "Zm8=");
  EXPECT_EQ(Base64("foo"), "Zm9v");
  EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64(std::string("\xFF\xFE\x00", 3)), "//4A");

  const std::string a72(72, 'A');
  EXPECT_EQ(SplitBase64Lines(a72), a72);
  EXPECT_EQ(SplitBase64Lines(a72 + "B"), a72 + "\n\t\t\t\t\t\t\tB");
  EXPECT_EQ(SplitBase64Lines(a72 + a72), a72 + "\n\t\t\t\t\t\t\t" + a72);

  for (const CharPicture* p : AllPictures()) {
    const std::string text = ItemBitmapText(*p);
    std::string bytes;
    ASSERT_TRUE(test::DecodeBase64(test::JoinPictureLines(text), &bytes));
    EXPECT_EQ(bytes, ItemBitmapRecord(*p));
  }
  // 1,378 bytes are 1,840 base64 characters: 25 full lines and one of 40.
  const std::string small = ItemBitmapText(kDeleteMarkSmall);
  EXPECT_EQ(small.size(), 1840u + 25 * 8);
}

TEST(Pictures, ThirteenDistinctButtonPictures) {
  std::set<std::string> distinct;
  int small = 0, large = 0;
  for (const CharPicture* p : AllPictures()) {
    EXPECT_TRUE(IsButtonPicture(*p));
    std::string pixels;
    for (std::string_view row : p->rows) pixels.append(row);
    distinct.insert(pixels);
    (PictureSize(*p) == 16 ? small : large)++;
    // Every picture draws something on its background.
    EXPECT_NE(pixels.find_first_not_of('.'), std::string::npos);
  }
  EXPECT_EQ(distinct.size(), 13u);
  EXPECT_EQ(small, 9);
  EXPECT_EQ(large, 4);

  const std::string_view narrow[16] = {"..."};
  EXPECT_FALSE(IsButtonPicture(CharPicture{kButtonPalette, narrow}));
  std::string_view unknown[16];
  for (auto& row : unknown) row = "...............x";
  EXPECT_FALSE(IsButtonPicture(CharPicture{kButtonPalette, unknown}));
  for (auto& row : unknown) row = "................";
  EXPECT_TRUE(IsButtonPicture(CharPicture{kButtonPalette, unknown}));
  EXPECT_FALSE(IsButtonPicture(CharPicture{kButtonPalette, std::span(unknown).first(15)}));
}

TEST(Pictures, VariantsShareOnlyDeleteOutputAndOutline) {
  const ToolbarVariant& s = StandardVariant();
  const ToolbarVariant& q = Q5Variant();
  for (size_t k = 0; k < 6; ++k) {
    EXPECT_EQ(s.items[k].smallPicture == q.items[k].smallPicture, k >= 3) << k;
    EXPECT_EQ(q.items[k].largePicture, nullptr) << k;
  }
  const bool standardLarge[] = {true, true, false, false, true, true};
  for (size_t k = 0; k < 6; ++k) EXPECT_EQ(s.items[k].largePicture != nullptr, standardLarge[k]) << k;
}

}  // namespace
}  // namespace barsetup
