#include "cutter-emu/sheet_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>

namespace cutter_emu {
namespace {

constexpr double kSample = 2;                 // units between the points measured: 0.05 mm
constexpr double kMappedPiece = kUnitsPerMm;  // a cut is mapped onto the sheet in pieces of 1 mm

std::string Mm(double units, int decimals = 3) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, units / kUnitsPerMm);
  return buffer;
}

std::string Fixed(double v, int decimals) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  return buffer;
}

Vec Lerp(Vec a, Vec b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

double ContourMinX(const SheetLayout& layout) {
  double x = std::numeric_limits<double>::infinity();
  for (const auto& path : layout.contour) {
    for (const Vec& p : path) x = std::min(x, p.x);
  }
  return x;
}

// Of the printed values of one distance, the one farthest from what was
// announced: any mismatch shows.
std::optional<double> Farthest(const std::vector<double>& printed, int32_t announced) {
  std::optional<double> out;
  for (double v : printed) {
    if (!out || std::abs(v - announced) > std::abs(*out - announced)) out = v;
  }
  return out;
}

const char* WhatText(const std::string& what) {
  if (what == "margin") return "a margin of";
  if (what == "feed") return "a distance along the feed of";
  if (what == "section") return "a section width of";
  return "a distance across the feed of";
}

}  // namespace

Vec NominalOrigin(const SheetLayout& layout) {
  return {kAlignmentStart + layout.margin, kAlignmentStart + layout.margin};
}

bool AnnouncedCheck::Ok() const { return printed && std::abs(*printed - announced) <= kAnnouncedTolerance; }

std::vector<AnnouncedCheck> CheckAnnouncement(const SheetLayout& layout, EventKind kind,
                                              const std::array<int32_t, 3>& args) {
  const double minX = ContourMinX(layout);
  std::vector<double> margin, feed, across;
  if (kind == EventKind::Marks) {
    // The frame of four marks, numbered from the origin.
    const SheetMark* m1 = layout.Mark(1);
    const SheetMark* m2 = layout.Mark(2);
    const SheetMark* m4 = layout.Mark(4);
    if (m1 != nullptr) margin.push_back(minX - m1->at.x);
    if (m1 != nullptr && m2 != nullptr) feed.push_back(m2->at.y - m1->at.y);
    if (m1 != nullptr && m4 != nullptr) across.push_back(m4->at.x - m1->at.x);
  } else {
    // Numbered marks at every section border on the origin's side, the
    // unnumbered ones across from them.
    std::vector<SheetMark> left, right;
    for (const SheetMark& m : layout.marks) {
      if (m.label >= 0) left.push_back(m);
      else if (m.at.x > minX) right.push_back(m);
    }
    std::sort(left.begin(), left.end(), [](const SheetMark& a, const SheetMark& b) { return a.label < b.label; });
    for (size_t i = 0; i < left.size(); ++i) {
      margin.push_back(minX - left[i].at.x);
      if (i > 0) feed.push_back(left[i].at.y - left[i - 1].at.y);
      const SheetMark* facing = nullptr;
      for (const SheetMark& r : right) {
        if (facing == nullptr || std::abs(r.at.y - left[i].at.y) < std::abs(facing->at.y - left[i].at.y)) facing = &r;
      }
      if (facing != nullptr) across.push_back(facing->at.x - left[i].at.x);
    }
  }
  const std::string command = kind == EventKind::Marks ? "TB26" : "TB27";
  return {{command, "margin", args[0], Farthest(margin, args[0])},
          {command, kind == EventKind::Marks ? "feed" : "section", args[1], Farthest(feed, args[1])},
          {command, "across", args[2], Farthest(across, args[2])}};
}

std::vector<SegmentIndex::Segment> ContourSegments(const std::vector<std::vector<Vec>>& paths) {
  std::vector<SegmentIndex::Segment> out;
  for (const auto& path : paths) {
    for (size_t i = 1; i < path.size(); ++i) out.push_back({path[i - 1], path[i]});
  }
  return out;
}

std::optional<Deviation> MeasureCut(const JobRecord& job, const SheetPlacement& placement, const SegmentIndex& contour,
                                    const std::vector<std::vector<Vec>>& paths) {
  Deviation d;
  double squares = 0;
  bool first = true;
  std::vector<SegmentIndex::Segment> mapped;
  for (const Segment& s : job.segments) {
    if (s.kind != SegmentKind::Cut) continue;
    const Vec a{static_cast<double>(s.x0), static_cast<double>(s.y0)};
    const Vec b{static_cast<double>(s.x1), static_cast<double>(s.y1)};
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    d.cutLength += length;
    // The cut to the contour: points every kSample along the cut, each
    // mapped onto the sheet (a keystone bends straight lines).
    const auto n = static_cast<size_t>(std::max(1.0, std::ceil(length / kSample)));
    double previous = 0;
    for (size_t i = 0; i <= n; ++i) {
      const Vec at = placement.ToSheet(Lerp(a, b, static_cast<double>(i) / static_cast<double>(n)));
      const double distance = contour.Distance(at);
      if (distance > d.cutMax || first) {
        d.cutMax = distance;
        d.worst = at;
        first = false;
      }
      if (i > 0) squares += (previous * previous + distance * distance) / 2 * length / static_cast<double>(n);
      previous = distance;
    }
    const auto pieces = static_cast<size_t>(std::max(1.0, std::ceil(length / kMappedPiece)));
    Vec from = placement.ToSheet(a);
    for (size_t i = 1; i <= pieces; ++i) {
      const Vec to = placement.ToSheet(Lerp(a, b, static_cast<double>(i) / static_cast<double>(pieces)));
      mapped.push_back({from, to});
      from = to;
    }
  }
  if (mapped.empty()) return std::nullopt;
  d.cutRms = d.cutLength > 0 ? std::sqrt(squares / d.cutLength) : d.cutMax;
  // The contour to the cut: what the cut missed.
  const SegmentIndex cut(std::move(mapped));
  for (const SegmentIndex::Segment& s : ContourSegments(paths)) {
    const double length = std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
    const auto n = static_cast<size_t>(std::max(1.0, std::ceil(length / kSample)));
    for (size_t i = 0; i <= n; ++i) {
      d.contourMax =
          std::max(d.contourMax, cut.Distance(Lerp(s.a, s.b, static_cast<double>(i) / static_cast<double>(n))));
    }
  }
  return d;
}

std::optional<double> ThreeMarkResidual(const SheetLayout& layout, const SheetPlacement& placement) {
  const SheetMark* m1 = layout.Mark(1);
  const SheetMark* m2 = layout.Mark(2);
  const SheetMark* m4 = layout.Mark(4);
  if (m1 == nullptr || m2 == nullptr || m4 == nullptr) return std::nullopt;
  // Sheet vectors u = m4 - m1, v = m2 - m1 and their images on the bed.
  const Vec u{m4->at.x - m1->at.x, m4->at.y - m1->at.y}, v{m2->at.x - m1->at.x, m2->at.y - m1->at.y};
  const double det = u.x * v.y - v.x * u.y;
  if (det == 0) return std::nullopt;
  const Vec b1 = placement.ToBed(m1->at), b2 = placement.ToBed(m2->at), b4 = placement.ToBed(m4->at);
  const Vec bu{b4.x - b1.x, b4.y - b1.y}, bv{b2.x - b1.x, b2.y - b1.y};
  double worst = 0;
  for (const SegmentIndex::Segment& s : ContourSegments(layout.contour)) {
    for (const Vec& p : {s.a, s.b}) {
      // p - m1 = a u + b v
      const double dx = p.x - m1->at.x, dy = p.y - m1->at.y;
      const double a = (dx * v.y - v.x * dy) / det, b = (u.x * dy - dx * u.y) / det;
      const Vec affine{b1.x + a * bu.x + b * bv.x, b1.y + a * bu.y + b * bv.y};
      const Vec placed = placement.ToBed(p);
      worst = std::max(worst, std::hypot(placed.x - affine.x, placed.y - affine.y));
    }
  }
  return worst;
}

void AppendSheetLines(const SheetResult& r, std::string& out) {
  for (const AnnouncedCheck& c : r.checks) {
    out += "sheet " + c.command + " " + c.what + "=" + std::to_string(c.announced) +
           " printed=" + (c.printed ? Fixed(*c.printed, 2) : std::string("none")) + (c.Ok() ? " ok\n" : " off\n");
  }
  if (r.deviation) {
    const Deviation& d = *r.deviation;
    out += "sheet cut max_mm=" + Mm(d.cutMax) + " rms_mm=" + Mm(d.cutRms) + " contour_max_mm=" + Mm(d.contourMax) +
           " aligned=" + (r.aligned ? "yes" : "no");
    if (d.threeMarks) out += " three_marks_mm=" + Mm(*d.threeMarks);
    out += "\n";
  }
}

std::vector<std::string> SheetReport(const SheetResult& r) {
  std::vector<std::string> lines;
  const std::string job = "job " + std::to_string(r.job) + " on the sheet: ";
  if (r.deviation) {
    const Deviation& d = *r.deviation;
    lines.push_back(job + "the cut lies within " + Mm(d.cutMax) + " mm of the printed contour (RMS " + Mm(d.cutRms) +
                    " mm), no part of the contour is farther than " + Mm(d.contourMax) + " mm from the cut" +
                    (r.aligned ? " (aligned on the marks)" : " (not aligned)"));
    if (d.threeMarks) {
      lines.push_back(job + "a correction on three of the marks could not come closer than " + Mm(*d.threeMarks) +
                      " mm on this sheet");
    }
  }
  std::string matched, command;
  for (const AnnouncedCheck& c : r.checks) {
    if (c.Ok()) {
      matched += (matched.empty()        ? ""
                  : c.command == command ? ", "
                                         : "; ") +
                 (c.command == command ? "" : c.command + " ") + c.what + " " + std::to_string(c.announced);
      command = c.command;
    } else if (!c.printed) {
      lines.push_back(job + c.command + " announces " + WhatText(c.what) + " " + std::to_string(c.announced) +
                      " units, but the sheet has no marks to show it");
    } else {
      lines.push_back(job + c.command + " announces " + WhatText(c.what) + " " + std::to_string(c.announced) +
                      " units, but the printed marks show " + Fixed(*c.printed, 2) + " (" +
                      Mm(std::abs(*c.printed - c.announced), 2) + " mm off)");
    }
  }
  if (!matched.empty()) lines.push_back(job + "the printed marks match what was announced within 0.1 mm: " + matched);
  return lines;
}

SheetWatch::SheetWatch(const SheetLayout* layout, const cutter_emu::Placement& placement, std::string statusPath)
    : layout_(layout),
      placement_(placement, layout != nullptr ? NominalOrigin(*layout) : Vec{}),
      contour_(layout != nullptr ? ContourSegments(layout->contour) : std::vector<SegmentIndex::Segment>{}),
      statusPath_(std::move(statusPath)) {
  WriteStatus();
}

void SheetWatch::OnEvent(const StreamEvent& e) {
  switch (e.kind) {
    case EventKind::Jog: jogged_ = true; [[fallthrough]];
    case EventKind::PenUp:
    case EventKind::Cut:
      ++moves_;
      head_ = {static_cast<double>(e.x), static_cast<double>(e.y)};
      break;
    case EventKind::Marks:
    case EventKind::Section: {
      const std::pair<EventKind, std::array<int32_t, 3>> a{e.kind, e.args};
      if (std::find(announced_.begin(), announced_.end(), a) == announced_.end()) announced_.push_back(a);
      break;
    }
    default: break;
  }
}

void SheetWatch::AfterReceive() {
  if (moves_ != written_) WriteStatus();
}

void SheetWatch::OnJobEnd(const JobRecord& job, std::string& listing) {
  SheetResult r;
  r.job = static_cast<int>(results_.size()) + 1;
  r.aligned = jogged_;
  if (layout_ != nullptr) {
    for (const auto& [kind, args] : announced_) {
      for (AnnouncedCheck& c : CheckAnnouncement(*layout_, kind, args)) r.checks.push_back(std::move(c));
    }
    if (announced_.empty()) r.deviation = MeasureCut(job, placement_, contour_, layout_->contour);
    if (r.deviation && r.aligned) r.deviation->threeMarks = ThreeMarkResidual(*layout_, placement_);
    AppendSheetLines(r, listing);
  }
  results_.push_back(std::move(r));
  jogged_ = false;
  announced_.clear();
}

std::string SheetWatch::StatusText() const {
  std::string out = "moves " + std::to_string(moves_) + "\nhead " + Mm(head_.x) + " " + Mm(head_.y) + "\n";
  if (layout_ == nullptr) return out;
  for (const SheetMark& m : layout_->marks) {
    const Vec at = placement_.ToBed(m.at);
    const double dx = at.x - head_.x, dy = at.y - head_.y;
    out += "mark " + std::to_string(m.label) + " dx=" + Mm(dx) + " dy=" + Mm(dy) +
           " distance=" + Mm(std::hypot(dx, dy)) + "\n";
  }
  return out;
}

// Written aside and renamed, so that a reader never sees half a status.
void SheetWatch::WriteStatus() {
  written_ = moves_;
  if (statusPath_.empty()) return;
  const std::string aside = statusPath_ + ".tmp";
  std::ofstream out(aside, std::ios::binary | std::ios::trunc);
  out << StatusText();
  out.close();
  if (out.fail() || std::rename(aside.c_str(), statusPath_.c_str()) != 0) statusFailed_ = true;
}

}  // namespace cutter_emu
