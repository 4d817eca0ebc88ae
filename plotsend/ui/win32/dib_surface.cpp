#include "ui/win32/dib_surface.h"

#include <algorithm>

namespace plotsend::win32 {

DibSurface::DibSurface(int width, int height) : width_(std::max(width, 1)), height_(std::max(height, 1)) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  if (dc_ != nullptr) bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr) return;
  originalBitmap_ = SelectObject(dc_, bitmap_);
  bits_ = static_cast<uint32_t*>(bits);
  Fill(kWhite);
}

DibSurface::~DibSurface() {
  if (originalBitmap_ != nullptr) SelectObject(dc_, originalBitmap_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  if (dc_ != nullptr) DeleteDC(dc_);
}

void DibSurface::Fill(Rgb colour) {
  if (!Ok()) return;
  GdiFlush();
  const uint32_t pixel = uint32_t{colour.r} << 16 | uint32_t{colour.g} << 8 | colour.b;
  std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, pixel);
}

Rgb DibSurface::At(int x, int y) const {
  if (!Ok() || x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
  GdiFlush();
  const uint32_t p = bits_[static_cast<size_t>(y) * width_ + x];
  return Rgb{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)};
}

void DibSurface::CopyTo(HDC target, int x, int y) const {
  if (Ok()) BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
}

}  // namespace plotsend::win32
