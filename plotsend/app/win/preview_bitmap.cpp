#include "app/win/preview_bitmap.h"

#include "ui/win32/gdi_canvas.h"

namespace plotsend::win32 {

bool PreviewBitmap::Render(HDC screen, SIZE size, HFONT font, const PreviewData& data) {
  Clear();
  if (size.cx <= 0 || size.cy <= 0) return false;
  HDC memory = CreateCompatibleDC(screen);
  if (memory == nullptr) return false;
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
  if (bitmap == nullptr) {
    DeleteDC(memory);
    return false;
  }
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HGDIOBJ oldFont = font != nullptr ? SelectObject(memory, font) : nullptr;
  {
    GdiCanvas canvas(memory);  // gone, with its pens and brushes, before the DC
    DrawJobPreview(canvas, PixelSize{size.cx, size.cy}, data);
  }
  if (oldFont != nullptr) SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteDC(memory);
  bitmap_ = bitmap;
  size_ = size;
  return true;
}

bool PreviewBitmap::Blit(HDC dc, POINT at) const {
  if (bitmap_ == nullptr) return false;
  HDC memory = CreateCompatibleDC(dc);
  if (memory == nullptr) return false;
  HGDIOBJ old = SelectObject(memory, bitmap_);
  const bool ok = BitBlt(dc, at.x, at.y, size_.cx, size_.cy, memory, 0, 0, SRCCOPY) != 0;
  SelectObject(memory, old);
  DeleteDC(memory);
  return ok;
}

void PreviewBitmap::Clear() {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  size_ = SIZE{};
}

}  // namespace plotsend::win32
