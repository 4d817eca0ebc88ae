#pragma once
// An off-screen picture to draw into with GDI: a 32-bit top-down DIB section
// selected into a memory device context, its pixels readable directly.
#include <windows.h>

#include <cstdint>

#include "ui/canvas.h"

namespace plotsend::win32 {

class DibSurface {
 public:
  // A white surface; Ok() is false when it could not be made.
  DibSurface(int width, int height);
  ~DibSurface();
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  bool Ok() const { return bits_ != nullptr; }
  HDC Dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Fill(Rgb colour);
  // The pixel after any GDI drawing still queued; black outside.
  Rgb At(int x, int y) const;
  // Copies the surface to `target` at (x, y).
  void CopyTo(HDC target, int x, int y) const;

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  uint32_t* bits_ = nullptr;
};

}  // namespace plotsend::win32
