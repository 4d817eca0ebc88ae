#pragma once
// The job preview of the main dialog: a light yellow field with the mark
// schematic of the job's mark type, the code bar of a coded job and the
// job's cutting paths, drawn once against a Canvas.
#include <cstdint>

#include "job/mark_ref.h"
#include "job/plt_file.h"
#include "ui/canvas.h"

namespace plotsend {

// The preview frame (control 1038, 471 x 291 dialog units) in pixels at the
// usual dialog base units of 6 x 13.
inline constexpr int kPreviewFrameWidth = 707;
inline constexpr int kPreviewFrameHeight = 473;

inline constexpr Rgb kPreviewBackground{250, 250, 150};
inline constexpr Rgb kMarkFrameColour{255, 0, 0};

struct PixelSize {
  int width = 0, height = 0;
};

// Where the job goes in a frame: W and H are the frame less a 40-pixel
// margin on each side; the scale maps job units to pixels.
struct PreviewGeometry {
  PixelSize frame;
  int W = 0, H = 0;
  double scale = 0.0;
  // False when the job has neither width nor height to scale by.
  bool scaled = false;
  PixelRect markBox;
};

// Scale: the smaller of W / width and H / height, less 10 per cent. A
// zero span does not limit the scale; with both zero the job is not scaled.
PreviewGeometry ComputePreviewGeometry(PixelSize frame, const Bounds& bounds);

// x grows to the left and y upward; job (0, 0) is 40 pixels from the right
// and bottom edges.
PixelPoint JobToScreen(const PreviewGeometry& g, int32_t x, int32_t y);

// Draws the job's moves as polylines of at most `maxPolylinePoints` points
// (pen-up moves start a new one; markers are passed over). The cutter starts
// at the job's origin. False when the job file could not be read again.
bool DrawJobLines(Canvas& canvas, const PreviewGeometry& g, const CPLTFile& job, size_t maxPolylinePoints = 4096);

struct PreviewData {
  const CPLTFile& job;
  MarkRef markRef;
  uint8_t CodeMode = 0;
  int32_t CodeNumber = 0;
};

struct PreviewResult {
  double scale = 0.0;   // kept by the dialog
  bool jobRead = true;  // false when the job's lines could not all be read
};

// The whole preview into a frame of the given size.
PreviewResult DrawJobPreview(Canvas& canvas, PixelSize frame, const PreviewData& data);

}  // namespace plotsend
