#include "common/icons/ico_file.h"

#include <fstream>

namespace icons {
namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kInfoHeaderSize = 40;

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// Mask rows are padded to whole 32-bit words.
size_t MaskRowBytes(int width) { return (static_cast<size_t>(width) + 31) / 32 * 4; }

size_t ImageBytes(const Image& image) {
  const size_t h = static_cast<size_t>(image.height);
  return kInfoHeaderSize + static_cast<size_t>(image.width) * 4 * h + MaskRowBytes(image.width) * h;
}

bool CheckImage(const Image& image, size_t n, std::string& error) {
  const std::string which = "image " + std::to_string(n) + ": ";
  if (image.width < 1 || image.width > kMaxIconSide || image.height < 1 || image.height > kMaxIconSide) {
    error = which + std::to_string(image.width) + "x" + std::to_string(image.height) + " is not 1 to 256 pixels a side";
    return false;
  }
  if (image.pixels.size() != static_cast<size_t>(image.width) * image.height) {
    error = which + "the pixels do not fill it";
    return false;
  }
  return true;
}

void PutEntry(std::vector<uint8_t>& out, const Image& image, size_t offset) {
  // A side of 256 is written as 0.
  out.push_back(static_cast<uint8_t>(image.width & 0xFF));
  out.push_back(static_cast<uint8_t>(image.height & 0xFF));
  out.push_back(0);  // no palette
  out.push_back(0);
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits per pixel
  Put32(out, static_cast<uint32_t>(ImageBytes(image)));
  Put32(out, static_cast<uint32_t>(offset));
}

void PutBitmap(std::vector<uint8_t>& out, const Image& image) {
  const size_t maskBytes = MaskRowBytes(image.width) * static_cast<size_t>(image.height);
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<uint32_t>(image.width));
  Put32(out, static_cast<uint32_t>(image.height) * 2);  // the colours and the mask
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);  // BI_RGB
  Put32(out, static_cast<uint32_t>(ImageBytes(image) - kInfoHeaderSize));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgba& p = image.At(x, y);
      out.insert(out.end(), {p.b, p.g, p.r, p.a});
    }
  }
  const size_t maskStart = out.size();
  out.resize(maskStart + maskBytes, 0);
  const size_t rowBytes = MaskRowBytes(image.width);
  for (int y = image.height - 1, row = 0; y >= 0; --y, ++row) {
    uint8_t* bits = out.data() + maskStart + static_cast<size_t>(row) * rowBytes;
    for (int x = 0; x < image.width; ++x) {
      if (image.At(x, y).a == 0) bits[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
}

}  // namespace

bool EncodeIco(std::span<const Image> images, std::vector<uint8_t>& bytes, std::string& error) {
  if (images.empty() || images.size() > 0xFFFF) {
    error = "an icon file holds 1 to 65535 images, not " + std::to_string(images.size());
    return false;
  }
  size_t total = kDirectorySize + kEntrySize * images.size();
  for (size_t i = 0; i < images.size(); ++i) {
    if (!CheckImage(images[i], i, error)) return false;
    total += ImageBytes(images[i]);
  }
  std::vector<uint8_t> out;
  out.reserve(total);
  Put16(out, 0);  // reserved
  Put16(out, 1);  // icon, not cursor
  Put16(out, static_cast<uint32_t>(images.size()));
  size_t offset = kDirectorySize + kEntrySize * images.size();
  for (const Image& image : images) {
    PutEntry(out, image, offset);
    offset += ImageBytes(image);
  }
  for (const Image& image : images) PutBitmap(out, image);
  bytes = std::move(out);
  return true;
}

bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes, std::string& error) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (file) file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (file) file.close();
  if (!file) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace icons
