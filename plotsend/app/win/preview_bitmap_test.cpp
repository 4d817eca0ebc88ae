#include "app/win/preview_bitmap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "job/plt_file.h"
#include "ui/job_preview.h"
#include "ui/win32/dialog_window.h"
#include "ui/win32/dib_surface.h"
#include "ui/win32/gdi_canvas.h"

namespace plotsend::win32 {
namespace {

constexpr SIZE kSize{300, 200};
constexpr PixelSize kFrame{kSize.cx, kSize.cy};

// A job file in the temporary directory, removed with the object.
class JobFile {
 public:
  explicit JobFile(const std::string& text) {
    wchar_t dir[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, dir);
    path_ = Narrow(std::wstring(dir, n)) + "preview_bitmap_test_" + std::to_string(GetCurrentProcessId()) + ".plt";
    std::ofstream(std::filesystem::path(Widen(path_)), std::ios::binary) << text;
  }
  ~JobFile() { Remove(); }
  const std::string& Path() const { return path_; }
  void Remove() { DeleteFileW(Widen(path_).c_str()); }

 private:
  std::string path_;
};

TEST(PreviewBitmap, PaintsComeFromTheBitmapWithoutReadingTheJobAgain) {
  // A square of 1000 units, its far corner where JobToScreen puts it.
  JobFile file("U0,0;D0,1000;D1000,1000;D1000,0;D0,0;");
  CPLTFile job;
  ASSERT_EQ(job.LoadPlt(file.Path()), 1);
  job.ComputeBounds();
  const PreviewData data{job, MarkRef{}, 0, 0};
  const PixelPoint corner = JobToScreen(ComputePreviewGeometry(kFrame, job.GetBounds()), 1000, 1000);

  DibSurface screen(kSize.cx + 20, kSize.cy + 20);
  ASSERT_TRUE(screen.Ok());
  PreviewBitmap preview;
  ASSERT_TRUE(preview.Render(screen.Dc(), kSize, nullptr, data));
  EXPECT_TRUE(preview.Holds(kSize));
  EXPECT_FALSE(preview.Holds(SIZE{kSize.cx + 1, kSize.cy}));

  // The job file is gone: drawing the job now would find no lines ...
  file.Remove();
  DibSurface again(kSize.cx, kSize.cy);
  ASSERT_TRUE(again.Ok());
  {
    GdiCanvas canvas(again.Dc());
    EXPECT_FALSE(DrawJobPreview(canvas, kFrame, data).jobRead);
  }
  EXPECT_EQ(again.At(corner.x, corner.y), kPreviewBackground);

  // ... but the bitmap still has them, copied where the paint asks.
  ASSERT_TRUE(preview.Blit(screen.Dc(), POINT{10, 10}));
  EXPECT_EQ(screen.At(10 + corner.x, 10 + corner.y), kBlack);
  EXPECT_EQ(screen.At(10 + 5, 10 + 5), kPreviewBackground);
  EXPECT_EQ(screen.At(5, 5), kWhite);  // outside the frame nothing changed
  EXPECT_EQ(screen.At(10 + kSize.cx + 2, 10 + kSize.cy + 2), kWhite);
}

TEST(PreviewBitmap, NoBitmapForAnEmptyFrame) {
  CPLTFile job;
  const PreviewData data{job, MarkRef{}, 0, 0};
  DibSurface screen(10, 10);
  ASSERT_TRUE(screen.Ok());
  PreviewBitmap preview;
  ASSERT_TRUE(preview.Render(screen.Dc(), SIZE{10, 10}, nullptr, data));
  EXPECT_FALSE(preview.Render(screen.Dc(), SIZE{0, 10}, nullptr, data));
  EXPECT_FALSE(preview.Holds(SIZE{0, 10}));
  EXPECT_FALSE(preview.Holds(SIZE{10, 10}));  // the old one went with the new render
  EXPECT_FALSE(preview.Blit(screen.Dc(), POINT{0, 0}));
}

}  // namespace
}  // namespace plotsend::win32
