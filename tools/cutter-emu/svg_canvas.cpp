#include "cutter-emu/svg_canvas.h"

#include <charconv>
#include <fstream>

namespace cutter_emu {
namespace {

constexpr size_t kFlushSize = 64 * 1024;

void AppendCoordinate(double v, std::string& out) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
  out.append(buf, r.ptr);
}

void AppendPoint(PixelPoint p, std::string& out) {
  AppendCoordinate(p.x, out);
  out += ',';
  AppendCoordinate(p.y, out);
}

const char* StyleOf(SegmentKind kind) {
  switch (kind) {
    case SegmentKind::Cut: return "stroke=\"#000\" stroke-width=\"1.2\"";
    case SegmentKind::Travel: return "stroke=\"#9ab\" stroke-width=\"0.6\" stroke-dasharray=\"4 3\"";
    case SegmentKind::Jog: return "stroke=\"#d00\" stroke-width=\"0.8\"";
  }
  return "";
}

void AppendEscapedText(std::string_view text, std::string& out) {
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      default: out += c;
    }
  }
}

}  // namespace

SvgCanvas::SvgCanvas(std::ostream& out, double width, double height) : stream_(out) {
  out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
  AppendCoordinate(width, out_);
  out_ += "\" height=\"";
  AppendCoordinate(height, out_);
  out_ += "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
}

void SvgCanvas::Polyline(std::span<const PixelPoint> points, SegmentKind kind) {
  out_ += "<polyline fill=\"none\" ";
  out_ += StyleOf(kind);
  out_ += " points=\"";
  for (size_t i = 0; i < points.size(); ++i) {
    if (i > 0) out_ += ' ';
    AppendPoint(points[i], out_);
  }
  out_ += "\"/>\n";
  Flush(false);
}

void SvgCanvas::Flush(bool force) {
  if (!force && out_.size() < kFlushSize) return;
  stream_.write(out_.data(), static_cast<std::streamsize>(out_.size()));
  out_.clear();
}

void SvgCanvas::Cross(PixelPoint at, double size) {
  out_ += "<path stroke=\"#06c\" stroke-width=\"1\" d=\"M";
  AppendPoint({at.x - size, at.y}, out_);
  out_ += " L";
  AppendPoint({at.x + size, at.y}, out_);
  out_ += " M";
  AppendPoint({at.x, at.y - size}, out_);
  out_ += " L";
  AppendPoint({at.x, at.y + size}, out_);
  out_ += "\"/>\n";
}

void SvgCanvas::Text(PixelPoint at, std::string_view text) {
  out_ += "<text x=\"";
  AppendCoordinate(at.x, out_);
  out_ += "\" y=\"";
  AppendCoordinate(at.y, out_);
  out_ += "\" font-family=\"sans-serif\" font-size=\"13\">";
  AppendEscapedText(text, out_);
  out_ += "</text>\n";
}

bool SvgCanvas::Finish() {
  out_ += "</svg>\n";
  Flush(true);
  stream_.flush();
  return !stream_.fail();
}

bool WriteSvg(const JobRecord& record, bool showTravel, const std::string& path) {
  const Layout layout = ComputeLayout(record, kDrawingSize);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file.is_open()) return false;
  SvgCanvas canvas(file, layout.width, layout.height);
  DrawJob(record, layout, showTravel, canvas);
  const bool written = canvas.Finish();
  file.close();
  return written && !file.fail();
}

}  // namespace cutter_emu
