#include "sheet/sheet_svg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/base64.h"

namespace plotmark {
namespace {

std::string Num(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4f", v);
  std::string s = buffer;
  while (s.size() > 1 && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

// How far a mark reaches from its point, mm.
double Reach(const MarkSizes& s) { return std::max(s.circle / 2 + 1.5 + 6, s.arm); }

Box ContentBox(const SheetInput& in) {
  const Design& d = *in.design;
  Box box;
  if (in.svgSource != nullptr && d.pageWidth > 0 && d.pageHeight > 0) {
    box = {0, 0, d.pageWidth, d.pageHeight};
    const Box& cut = in.job->box;  // cut lines outside the page still need their marks
    box = {std::min(box.minX, cut.minX), std::min(box.minY, cut.minY), std::max(box.maxX, cut.maxX),
           std::max(box.maxY, cut.maxY)};
  } else {
    box = BoundsOf(d.points).value_or(in.job->box);
  }
  const double reach = Reach(in.sizes);
  for (const Mark& m : *in.marks) {
    const Point p = JobToPage(*in.job, m.x, m.y);
    box.minX = std::min(box.minX, p.x - reach);
    box.maxX = std::max(box.maxX, p.x + reach);
    box.minY = std::min(box.minY, p.y - reach);
    box.maxY = std::max(box.maxY, p.y + reach);
  }
  return box;
}

void DrawMark(std::string& out, const Mark& m, const CutJob& job, const MarkSizes& s, double ox, double oy) {
  const Point c0 = JobToPage(job, m.x, m.y);
  const double x = c0.x + ox, y = c0.y + oy, r = s.circle / 2;
  // Job x runs leftward on the page and job y upward.
  const int ux = -m.dx, uy = -m.dy;
  switch (m.shape) {
    case MarkShape::CrossedCircle: {
      const double arm = r + 1.5;
      out += "<circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) + "\" r=\"" + Num(r) +
             "\" fill=\"none\" stroke=\"#000\" stroke-width=\"" + Num(s.line) + "\"/>\n";
      out += "<path d=\"M" + Num(x - arm) + " " + Num(y) + "H" + Num(x + arm) + "M" + Num(x) + " " + Num(y - arm) +
             "V" + Num(y + arm) + "\" stroke=\"#000\" stroke-width=\"" + Num(s.line / 2) + "\"/>\n";
      break;
    }
    case MarkShape::Dot:
      out += "<circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) + "\" r=\"" + Num(r) + "\" fill=\"#000\"/>\n";
      break;
    case MarkShape::Corner: {
      const double t = 2 * s.line, a = s.arm;
      out += "<path d=\"M" + Num(x) + " " + Num(y) + "H" + Num(x + ux * a) + "V" + Num(y + uy * t) + "H" +
             Num(x + ux * t) + "V" + Num(y + uy * a) + "H" + Num(x) + "Z\" fill=\"#000\"/>\n";
      break;
    }
  }
  if (m.label >= 0) {
    // Outside the frame, away from the design.
    const double d = r + 3.5;
    out += "<text x=\"" + Num(x - ux * d) + "\" y=\"" + Num(y - uy * d + 1.2) +
           "\" font-family=\"sans-serif\" font-size=\"3.5\" text-anchor=\"middle\">" + std::to_string(m.label) +
           "</text>\n";
  }
}

void DrawHpglDesign(std::string& out, const Design& d, double ox, double oy) {
  out += "<g fill=\"none\" stroke=\"#000\" stroke-width=\"0.25\" stroke-linejoin=\"round\">\n";
  for (const DesignPath& p : d.paths) {
    out += "<path d=\"";
    for (size_t i = p.begin; i < p.end; ++i) {
      out += i == p.begin ? "M" : "L";
      out += Num(d.points[i].x + ox) + " " + Num(d.points[i].y + oy);
    }
    out += "\"/>\n";
  }
  out += "</g>\n";
}

}  // namespace

std::optional<PageSize> ParsePageSize(const std::string& text) {
  if (text == "A4" || text == "a4") return PageSize{210, 297};
  if (text == "A3" || text == "a3") return PageSize{297, 420};
  const size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return std::nullopt;
  char* end = nullptr;
  const std::string w = text.substr(0, x), h = text.substr(x + 1);
  const double width = std::strtod(w.c_str(), &end);
  if (w.empty() || *end != '\0') return std::nullopt;
  const double height = std::strtod(h.c_str(), &end);
  if (h.empty() || *end != '\0') return std::nullopt;
  if (!(width > 0 && height > 0 && width <= 1e6 && height <= 1e6)) return std::nullopt;
  return PageSize{width, height};
}

std::optional<Sheet> MakeSheet(const SheetInput& in) {
  const Box content = ContentBox(in);
  Sheet sheet;
  if (!in.page) {
    sheet.width = content.Width() + 2 * kSheetBorderMm;
    sheet.height = content.Height() + 2 * kSheetBorderMm;
  } else {
    PageSize page = *in.page;
    const bool fits = content.Width() <= page.width && content.Height() <= page.height;
    const bool fitsTurned = content.Width() <= page.height && content.Height() <= page.width;
    if (!fits && !fitsTurned) return std::nullopt;
    if (!fits) {
      std::swap(page.width, page.height);
      sheet.landscape = true;
    }
    sheet.width = page.width;
    sheet.height = page.height;
  }
  // Centred on the page.
  sheet.offsetX = (sheet.width - content.Width()) / 2 - content.minX;
  sheet.offsetY = (sheet.height - content.Height()) / 2 - content.minY;

  std::string& out = sheet.svg;
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
         Num(sheet.width) + "mm\" height=\"" + Num(sheet.height) + "mm\" viewBox=\"0 0 " + Num(sheet.width) + " " +
         Num(sheet.height) + "\">\n";
  const Design& d = *in.design;
  if (in.svgSource != nullptr) {
    const std::string data = "data:image/svg+xml;base64," + plotara::Base64(*in.svgSource);
    out += "<image x=\"" + Num(sheet.offsetX) + "\" y=\"" + Num(sheet.offsetY) + "\" width=\"" + Num(d.pageWidth) +
           "\" height=\"" + Num(d.pageHeight) + "\" preserveAspectRatio=\"none\" xlink:href=\"" + data + "\"/>\n";
  } else {
    DrawHpglDesign(out, d, sheet.offsetX, sheet.offsetY);
  }
  out += "<g id=\"registration-marks\">\n";
  for (const Mark& m : *in.marks) DrawMark(out, m, *in.job, in.sizes, sheet.offsetX, sheet.offsetY);
  out += "</g>\n</svg>\n";
  return sheet;
}

}  // namespace plotmark
