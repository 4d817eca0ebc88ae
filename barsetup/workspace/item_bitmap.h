// ItemBitmapRecord: the byte record that a "userSmallBitmap" or
// "userLargeBitmap" element holds in base64, a typed header followed by an
// 8-bit device-independent bitmap of the picture.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/base64.h"
#include "workspace/toolbar_pictures.h"

namespace barsetup {

// Offsets in the record.
inline constexpr size_t kRecordInfoHeaderOffset = 42;
inline constexpr size_t kRecordPaletteOffset = 82;
inline constexpr size_t kRecordPixelOffset = 1106;
inline constexpr size_t kRecordTrailerSize = 16;

// Record length: 1,378 bytes for a 16 x 16 picture, 1,698 for 24 x 24.
constexpr size_t ItemBitmapRecordSize(int size) {
  return kRecordPixelOffset + static_cast<size_t>(size * size) + kRecordTrailerSize;
}

// The record of a button picture (IsButtonPicture).
std::string ItemBitmapRecord(const CharPicture& picture);

using plotara::Base64;

// Element content: the base64 text in lines of 72 characters, every line
// after the first beginning with a line feed and seven tabs.
std::string SplitBase64Lines(std::string_view base64);

// The content of a picture element for this picture.
std::string ItemBitmapText(const CharPicture& picture);

}  // namespace barsetup
