#pragma once
// A Canvas that keeps every drawing call, with the pen and brush selected at
// the time, for tests and measurements.
#include <string>
#include <vector>

#include "ui/canvas.h"

namespace plotsend {

struct CanvasOp {
  enum class Kind { Polyline, Rectangle, Ellipse, FillRect, TextAt, TextInBox };
  Kind kind = Kind::Polyline;
  Pen pen;
  Brush brush;
  PixelRect rect;                  // shapes, fills and text boxes
  Rgb colour;                      // FillRect
  PixelPoint at;                   // TextAt
  std::vector<PixelPoint> points;  // Polyline
  std::string text;
};

class RecordingCanvas : public Canvas {
 public:
  void SelectPen(const Pen& pen) override { pen_ = pen; }
  void SelectBrush(const Brush& brush) override { brush_ = brush; }
  void Polyline(std::span<const PixelPoint> points) override;
  void Rectangle(const PixelRect& r) override { Shape(CanvasOp::Kind::Rectangle, r); }
  void Ellipse(const PixelRect& r) override { Shape(CanvasOp::Kind::Ellipse, r); }
  void FillRect(const PixelRect& r, Rgb colour) override;
  void TextAt(PixelPoint at, std::string_view text) override;
  void TextInBox(const PixelRect& box, std::string_view text) override;

  const std::vector<CanvasOp>& Ops() const { return ops_; }
  // The calls of one kind, in order.
  std::vector<CanvasOp> OfKind(CanvasOp::Kind kind) const;
  void Clear() { ops_.clear(); }

 private:
  CanvasOp& Add(CanvasOp::Kind kind);
  void Shape(CanvasOp::Kind kind, const PixelRect& r) { Add(kind).rect = r; }

  Pen pen_;
  Brush brush_;
  std::vector<CanvasOp> ops_;
};

}  // namespace plotsend
