#include "ui/win32/gdi_canvas.h"

#include <algorithm>
#include <climits>
#include <string>

#include "ui/win32/dialog_window.h"

namespace plotsend::win32 {
namespace {

COLORREF ColourRef(Rgb c) { return RGB(c.r, c.g, c.b); }

RECT ToRect(const PixelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

std::wstring WideText(std::string_view text) { return Widen(std::string(text)); }

int Length(const std::wstring& text) { return static_cast<int>(std::min<size_t>(text.size(), INT_MAX)); }

}  // namespace

GdiCanvas::GdiCanvas(HDC dc)
    : dc_(dc),
      originalPen_(GetCurrentObject(dc, OBJ_PEN)),
      originalBrush_(GetCurrentObject(dc, OBJ_BRUSH)),
      originalTextColour_(SetTextColor(dc, ColourRef(kBlack))),
      originalBackgroundMode_(SetBkMode(dc, TRANSPARENT)),
      originalTextAlign_(SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP)) {}

GdiCanvas::~GdiCanvas() {
  // Nothing of ours may stay selected when it is deleted.
  SelectObject(dc_, originalPen_);
  SelectObject(dc_, originalBrush_);
  SetTextColor(dc_, originalTextColour_);
  SetBkMode(dc_, originalBackgroundMode_);
  SetTextAlign(dc_, originalTextAlign_);
  for (const CachedPen& p : pens_) DeleteObject(p.handle);
  for (const CachedBrush& b : brushes_) DeleteObject(b.handle);
}

HPEN GdiCanvas::PenFor(const Pen& pen) {
  for (const CachedPen& p : pens_) {
    if (p.pen == pen) return p.handle;
  }
  // A wider pen stays inside the rectangles and ellipses it outlines; on
  // lines, and at one pixel, the inside frame is a solid pen.
  const int width = std::max(pen.width, 1);
  HPEN handle = CreatePen(width > 1 ? PS_INSIDEFRAME : PS_SOLID, width, ColourRef(pen.colour));
  if (handle != nullptr) pens_.push_back({pen, handle});
  return handle;
}

HBRUSH GdiCanvas::BrushFor(Rgb colour) {
  for (const CachedBrush& b : brushes_) {
    if (b.colour == colour) return b.handle;
  }
  HBRUSH handle = CreateSolidBrush(ColourRef(colour));
  if (handle != nullptr) brushes_.push_back({colour, handle});
  return handle;
}

void GdiCanvas::SelectPen(const Pen& pen) {
  if (HPEN handle = PenFor(pen)) SelectObject(dc_, handle);
}

void GdiCanvas::SelectBrush(const Brush& brush) {
  HGDIOBJ handle = brush.hollow ? GetStockObject(NULL_BRUSH) : BrushFor(brush.colour);
  if (handle != nullptr) SelectObject(dc_, handle);
}

void GdiCanvas::Polyline(std::span<const PixelPoint> points) {
  if (points.size() < 2 || points.size() > INT_MAX) return;
  points_.resize(points.size());
  std::transform(points.begin(), points.end(), points_.begin(), [](const PixelPoint& p) { return POINT{p.x, p.y}; });
  ::Polyline(dc_, points_.data(), static_cast<int>(points_.size()));
}

void GdiCanvas::Rectangle(const PixelRect& r) { ::Rectangle(dc_, r.left, r.top, r.right, r.bottom); }

void GdiCanvas::Ellipse(const PixelRect& r) { ::Ellipse(dc_, r.left, r.top, r.right, r.bottom); }

void GdiCanvas::FillRect(const PixelRect& r, Rgb colour) {
  const RECT rect = ToRect(r);
  if (HBRUSH brush = BrushFor(colour)) ::FillRect(dc_, &rect, brush);
}

void GdiCanvas::TextAt(PixelPoint at, std::string_view text) {
  const std::wstring wide = WideText(text);
  TextOutW(dc_, at.x, at.y, wide.c_str(), Length(wide));
}

void GdiCanvas::TextInBox(const PixelRect& box, std::string_view text) {
  const std::wstring wide = WideText(text);
  RECT rect = ToRect(box);
  // DT_NOPREFIX: an "&" is shown, not taken as a mnemonic.
  DrawTextW(dc_, wide.c_str(), Length(wide), &rect, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

}  // namespace plotsend::win32
