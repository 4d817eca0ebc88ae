#include "ui/recording_canvas.h"

namespace plotsend {

CanvasOp& RecordingCanvas::Add(CanvasOp::Kind kind) {
  CanvasOp& op = ops_.emplace_back();
  op.kind = kind;
  op.pen = pen_;
  op.brush = brush_;
  return op;
}

void RecordingCanvas::Polyline(std::span<const PixelPoint> points) {
  Add(CanvasOp::Kind::Polyline).points.assign(points.begin(), points.end());
}

void RecordingCanvas::FillRect(const PixelRect& r, Rgb colour) {
  CanvasOp& op = Add(CanvasOp::Kind::FillRect);
  op.rect = r;
  op.colour = colour;
}

void RecordingCanvas::TextAt(PixelPoint at, std::string_view text) {
  CanvasOp& op = Add(CanvasOp::Kind::TextAt);
  op.at = at;
  op.text = text;
}

void RecordingCanvas::TextInBox(const PixelRect& box, std::string_view text) {
  CanvasOp& op = Add(CanvasOp::Kind::TextInBox);
  op.rect = box;
  op.text = text;
}

std::vector<CanvasOp> RecordingCanvas::OfKind(CanvasOp::Kind kind) const {
  std::vector<CanvasOp> out;
  for (const CanvasOp& op : ops_) {
    if (op.kind == kind) out.push_back(op);
  }
  return out;
}

}  // namespace plotsend
