#pragma once
// A design as read from a file: flat paths in millimetres on the page, x to
// the right and y downward (as printed), with what the cut selection needs
// to know of each path.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plotmark {

struct Point {
  double x = 0.0;
  double y = 0.0;
  bool operator==(const Point&) const = default;
};

// Plotter units (those of kavren.plt and the cutter) per millimetre.
inline constexpr double kUnitsPerMm = 40.0;

// 0xRRGGBB.
using Colour = uint32_t;

struct DesignPath {
  size_t begin = 0;  // into Design::points
  size_t end = 0;
  bool closed = false;
  std::optional<Colour> stroke;  // none when not stroked
  bool filled = false;
  bool inCutId = false;  // inside the element named by --cut-id
};

enum class DesignKind { Svg, Hpgl };

// A warning of an importer, shown through the text table.
enum class ImportWarning {
  TextNotCut,          // count: <text> elements
  UnsupportedElement,  // detail: element names
  UnsupportedCommand,  // detail: HPGL mnemonics
};

struct Warning {
  ImportWarning id;
  size_t count = 0;
  std::string detail;
};

struct Design {
  DesignKind kind = DesignKind::Svg;
  std::vector<Point> points;
  std::vector<DesignPath> paths;
  // The page the design was drawn on (SVG width and height, in mm); zero
  // when the format has none.
  double pageWidth = 0.0;
  double pageHeight = 0.0;
  size_t textCount = 0;
  bool cutIdFound = false;
  std::vector<Warning> warnings;

  size_t PointCount(const DesignPath& p) const { return p.end - p.begin; }
};

// Why an importer refused a design.
enum class ImportError {
  None,
  BrokenSvg,  // detail: the parser's message
  UnknownFormat,
  CompressedSvg,
};

struct ImportResult {
  Design design;
  ImportError error = ImportError::None;
  std::string detail;
};

// What the importers are asked for besides the file.
struct ImportOptions {
  std::string cutId;  // mark the paths inside the element with this id
};

}  // namespace plotmark
