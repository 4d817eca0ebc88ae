#pragma once
// The Windows icon file format: a directory of images, each stored as a
// 32-bit BGRA device-independent bitmap (bottom-up, alpha in the fourth
// byte) followed by its 1-bit AND mask (set where the pixel is transparent),
// which is what Windows draws from and what older readers fall back to.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/icons/picture.h"

namespace icons {

inline constexpr int kMaxIconSide = 256;

// The .ico bytes of the images, in the order given. False, with the reason,
// when there are no images, more than a directory can count, or an image
// whose sides are not 1 to 256 pixels or whose pixels do not match them.
bool EncodeIco(std::span<const Image> images, std::vector<uint8_t>& bytes, std::string& error);

// Writes the bytes to a file, replacing it; false with the reason on failure.
bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes, std::string& error);

}  // namespace icons
