#include "workspace/item_bitmap.h"

#include <algorithm>
#include <cstdint>

namespace barsetup {
namespace {

constexpr std::string_view kTypeName = "WCmnUI_UIItemBmp";
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPaletteSize = 1024;
constexpr std::string_view kLineBreak = "\n\t\t\t\t\t\t\t";
constexpr size_t kLineLength = 72;

void Put16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

// BITMAPINFOHEADER of an 8-bit picture with a full 256-colour palette.
void PutInfoHeader(std::string& out, int size) {
  const uint32_t imageSize = static_cast<uint32_t>(size * size);
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<uint32_t>(size));  // width
  Put32(out, static_cast<uint32_t>(size));  // height, positive: rows bottom-up
  Put16(out, 1);                            // planes
  Put16(out, 8);                            // bits per pixel
  Put32(out, 0);                            // no compression
  Put32(out, imageSize);
  Put32(out, 0);  // horizontal resolution
  Put32(out, 0);  // vertical resolution
  Put32(out, 256);
  Put32(out, 256);
}

// 256 entries of blue, green, red, zero: the picture's colours (their
// alpha does not count), then black.
void PutPalette(std::string& out, const CharPicture& picture) {
  const size_t colours = std::min<size_t>(picture.palette.size(), kPaletteSize / 4);
  for (const icons::PaletteEntry& e : picture.palette.first(colours)) {
    out.push_back(static_cast<char>(e.colour.b));
    out.push_back(static_cast<char>(e.colour.g));
    out.push_back(static_cast<char>(e.colour.r));
    out.push_back('\0');
  }
  out.append(kPaletteSize - 4 * colours, '\0');
}

}  // namespace

std::string ItemBitmapRecord(const CharPicture& picture) {
  const int size = PictureSize(picture);
  std::string out;
  out.reserve(ItemBitmapRecordSize(size));
  Put16(out, 0xFFFF);
  Put16(out, 1);
  Put16(out, static_cast<uint16_t>(kTypeName.size()));
  out.append(kTypeName);
  out.append(8, '\0');
  Put32(out, kInfoHeaderSize);
  Put32(out, kPaletteSize);
  Put32(out, static_cast<uint32_t>(size * size));
  PutInfoHeader(out, size);
  PutPalette(out, picture);
  // Rows of 16 or 24 bytes need no padding to a multiple of four.
  for (size_t y = picture.rows.size(); y-- > 0;) {
    for (char key : picture.rows[y]) {
      const int index = PaletteIndex(picture, key);
      out.push_back(static_cast<char>(index < 0 ? 0 : index));
    }
  }
  out.append(kRecordTrailerSize, '\0');
  return out;
}

std::string SplitBase64Lines(std::string_view base64) {
  std::string out;
  out.reserve(base64.size() + base64.size() / kLineLength * kLineBreak.size());
  for (size_t at = 0; at < base64.size(); at += kLineLength) {
    if (at != 0) out.append(kLineBreak);
    out.append(base64.substr(at, kLineLength));
  }
  return out;
}

std::string ItemBitmapText(const CharPicture& picture) { return SplitBase64Lines(Base64(ItemBitmapRecord(picture))); }

}  // namespace barsetup
