#pragma once
// The job preview drawn once into a memory bitmap and copied to the screen
// at every paint, so that a big job is not read again for each repaint.
#include <windows.h>

#include "ui/job_preview.h"

namespace plotsend::win32 {

class PreviewBitmap {
 public:
  PreviewBitmap() = default;
  PreviewBitmap(const PreviewBitmap&) = delete;
  PreviewBitmap& operator=(const PreviewBitmap&) = delete;
  ~PreviewBitmap() { Clear(); }

  // Draws the preview into a new bitmap of `size` pixels compatible with
  // `screen`, its texts in `font` (the dialog's). False when no bitmap could
  // be made.
  bool Render(HDC screen, SIZE size, HFONT font, const PreviewData& data);
  bool Holds(SIZE size) const { return bitmap_ != nullptr && size.cx == size_.cx && size.cy == size_.cy; }
  // Copies the bitmap to `dc` with its top left corner at `at`.
  bool Blit(HDC dc, POINT at) const;
  void Clear();

 private:
  HBITMAP bitmap_ = nullptr;
  SIZE size_{};
};

}  // namespace plotsend::win32
