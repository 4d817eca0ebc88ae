// The SVG grammar, the attribute syntax, the basic shapes and viewports are
// svg++'s (over rapidxml_ns); this file only collects what it reports.
#include "import/svg_import.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <numbers>
#include <optional>
#include <set>
#include <vector>

#define BOOST_PARAMETER_MAX_ARITY 12
#include <rapidxml_ns/rapidxml_ns.hpp>
#include <svgpp/policy/xml/rapidxml_ns.hpp>
#include <svgpp/svgpp.hpp>

#include "import/affine.h"
#include "import/flatten.h"
#include "import/svg_depth.h"

namespace plotmark {
namespace {

using namespace svgpp;

constexpr double kPxPerInch = 96.0;
constexpr double kMmPerPx = 25.4 / kPxPerInch;

using color_t = int;  // svg++'s default colour: 0xRRGGBB in an int

enum class PaintKind { None, Colour, CurrentColour, Server };
struct Paint {
  PaintKind kind = PaintKind::None;
  Colour colour = 0;
};

// What the whole traversal shares.
struct Collector {
  Design design;
  std::string cutId;
  std::vector<Point> scratch;     // the current subpath, user units
  std::set<std::string> skipped;  // elements drawn but not followed
};

// Paint setters for one attribute (svg++ reports <paint> in ten forms).
// ATTR is a tag name and MEMBER an assignment target: neither can be parenthesised.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define PLOTMARK_PAINT_SETTERS(ATTR, MEMBER)                                                           \
  void set(tag::attribute::ATTR, tag::value::none) { MEMBER = {PaintKind::None, 0}; }                  \
  void set(tag::attribute::ATTR, tag::value::currentColor) { MEMBER = {PaintKind::CurrentColour, 0}; } \
  void set(tag::attribute::ATTR, color_t c, tag::skip_icc_color = tag::skip_icc_color()) {             \
    MEMBER = {PaintKind::Colour, static_cast<Colour>(c) & 0xFFFFFFu};                                  \
  }                                                                                                    \
  template <class IRI>                                                                                 \
  void set(tag::attribute::ATTR, IRI const&) {                                                         \
    MEMBER = {PaintKind::Server, 0};                                                                   \
  }                                                                                                    \
  template <class IRI>                                                                                 \
  void set(tag::attribute::ATTR, tag::iri_fragment, IRI const&) {                                      \
    MEMBER = {PaintKind::Server, 0};                                                                   \
  }                                                                                                    \
  template <class IRI, class V>                                                                        \
  void set(tag::attribute::ATTR, IRI const&, V) {                                                      \
    MEMBER = {PaintKind::Server, 0};                                                                   \
  }                                                                                                    \
  template <class IRI, class V>                                                                        \
  void set(tag::attribute::ATTR, tag::iri_fragment, IRI const&, V) {                                   \
    MEMBER = {PaintKind::Server, 0};                                                                   \
  }                                                                                                    \
  template <class IRI>                                                                                 \
  void set(tag::attribute::ATTR, IRI const&, color_t, tag::skip_icc_color) {                           \
    MEMBER = {PaintKind::Server, 0};                                                                   \
  }                                                                                                    \
  template <class IRI>                                                                                 \
  void set(tag::attribute::ATTR, tag::iri_fragment, IRI const&, color_t, tag::skip_icc_color) {        \
    MEMBER = {PaintKind::Server, 0};                                                                   \
  }
// NOLINTEND(bugprone-macro-parentheses)

// State of one element, copied from its parent (so inherited properties
// carry down the tree).
class BaseContext {
 public:
  explicit BaseContext(Collector& collector) : collector_(&collector) {
    length_factory_.set_absolute_units_coefficient(kPxPerInch, tag::length_units::in());
    ctm_ = Affine::Scale(kMmPerPx);
  }

  void on_exit_element() {}

  void transform_matrix(const boost::array<double, 6>& m) {
    ctm_ = ctm_.Then(Affine{m[0], m[1], m[2], m[3], m[4], m[5]});
  }

  void set_viewport(double, double, double width, double height) {
    length_factory_.set_viewport_size(width, height);
    if (root_) {
      collector_->design.pageWidth = width * kMmPerPx;
      collector_->design.pageHeight = height * kMmPerPx;
      root_ = false;
    }
  }
  void set_viewbox_size(double width, double height) { length_factory_.set_viewport_size(width, height); }
  void disable_rendering() { hidden_ = true; }

  using length_factory_type = factory::length::unitless<>;
  const length_factory_type& length_factory() const { return length_factory_; }
  void SetInitialViewport(double width, double height) { length_factory_.set_viewport_size(width, height); }

  PLOTMARK_PAINT_SETTERS(stroke, stroke_)
  PLOTMARK_PAINT_SETTERS(fill, fill_)
  void set(tag::attribute::color, color_t c) { colour_ = static_cast<Colour>(c) & 0xFFFFFFu; }
  template <class V>
  void set(tag::attribute::color, V) {}

  void set(tag::attribute::display, tag::value::none) { hidden_ = true; }
  template <class V>
  void set(tag::attribute::display, V) {}

  template <class Range>
  void set(tag::attribute::id, const Range& range) {
    const std::string& id = collector_->cutId;
    if (id.empty()) return;
    const size_t n = static_cast<size_t>(boost::size(range));
    if (n == id.size() && std::equal(boost::begin(range), boost::end(range), id.begin())) {
      inCutId_ = true;
      collector_->design.cutIdFound = true;
    }
  }

 protected:
  std::optional<Colour> Resolve(const Paint& p) const {
    switch (p.kind) {
      case PaintKind::None: return std::nullopt;
      case PaintKind::Colour: return p.colour;
      case PaintKind::CurrentColour: return colour_;
      case PaintKind::Server: return 0x000000u;  // a gradient or pattern: painted, colour unknown
    }
    return std::nullopt;
  }

  Collector* collector_;
  length_factory_type length_factory_;
  Affine ctm_;
  Paint stroke_{PaintKind::None, 0};
  Paint fill_{PaintKind::Colour, 0};
  Colour colour_ = 0;
  bool hidden_ = false;
  bool inCutId_ = false;
  bool root_ = true;
};

class ChildContext : public BaseContext {
 public:
  explicit ChildContext(const BaseContext& parent) : BaseContext(parent) { root_ = false; }
};

// A shape: its path data arrive in user units and leave in millimetres.
class ShapeContext : public ChildContext {
 public:
  explicit ShapeContext(const BaseContext& parent) : ChildContext(parent) {}

  void path_move_to(double x, double y, tag::coordinate::absolute) {
    EndSubpath(false);
    Scratch().push_back({x, y});
    start_ = {x, y};
  }
  void path_line_to(double x, double y, tag::coordinate::absolute) { Add({x, y}); }
  void path_cubic_bezier_to(double x1, double y1, double x2, double y2, double x, double y, tag::coordinate::absolute) {
    FlattenCubic(Current(), {x1, y1}, {x2, y2}, {x, y}, Tolerance(), Scratch());
  }
  void path_quadratic_bezier_to(double x1, double y1, double x, double y, tag::coordinate::absolute) {
    FlattenQuadratic(Current(), {x1, y1}, {x, y}, Tolerance(), Scratch());
  }
  void path_elliptical_arc_to(double rx, double ry, double rotation, bool largeArc, bool sweep, double x, double y,
                              tag::coordinate::absolute) {
    FlattenSvgArc(Current(), rx, ry, rotation, largeArc, sweep, {x, y}, Tolerance(), Scratch());
  }
  void path_close_subpath() {
    EndSubpath(true);
    Scratch().push_back(start_);  // a move after a close starts here
  }
  void path_exit() { EndSubpath(false); }

 private:
  std::vector<Point>& Scratch() { return collector_->scratch; }
  Point Current() {
    if (Scratch().empty()) Scratch().push_back(start_);
    return Scratch().back();
  }
  void Add(Point p) {
    if (Scratch().empty()) Scratch().push_back(start_);
    Scratch().push_back(p);
  }
  double Tolerance() const {
    const double stretch = ctm_.MaxStretch();
    return stretch > 0 ? kFlatnessMm / stretch : kFlatnessMm;
  }

  void EndSubpath(bool closed) {
    std::vector<Point>& pts = Scratch();
    if (pts.size() >= 2 && !hidden_) {
      Design& d = collector_->design;
      DesignPath path;
      path.begin = d.points.size();
      for (const Point& p : pts) d.points.push_back(ctm_.Apply(p));
      if (closed && !(pts.front() == pts.back())) d.points.push_back(ctm_.Apply(pts.front()));
      path.end = d.points.size();
      path.closed = closed;
      path.stroke = Resolve(stroke_);
      path.filled = Resolve(fill_).has_value();
      path.inCutId = inCutId_;
      d.paths.push_back(path);
    }
    pts.clear();
  }

  Point start_{};
};

struct ChildContextFactories {
  template <class ParentContext, class ElementTag, class Enable = void>
  struct apply {
    using type = factory::context::on_stack<ChildContext>;
  };
};

template <class ParentContext, class ElementTag>
struct ChildContextFactories::apply<
    ParentContext, ElementTag,
    typename boost::enable_if<boost::mpl::has_key<traits::shape_elements, ElementTag>>::type> {
  using type = factory::context::on_stack<ShapeContext>;
};

struct AttributeTraversal : policy::attribute_traversal::default_policy {
  using get_priority_attributes_by_element = boost::mpl::if_<
      boost::mpl::has_key<boost::mpl::set<tag::element::svg, tag::element::symbol>, boost::mpl::_1>,
      boost::mpl::vector<tag::attribute::x, tag::attribute::y, tag::attribute::width, tag::attribute::height,
                         tag::attribute::viewBox, tag::attribute::preserveAspectRatio,
                         notify_context<tag::event::after_viewport_attributes>>::type,
      boost::mpl::empty_sequence>;
};

using processed_elements_t =
    boost::mpl::fold<traits::shape_elements,
                     boost::mpl::set<tag::element::svg, tag::element::g, tag::element::a, tag::element::switch_>::type,
                     boost::mpl::insert<boost::mpl::_1, boost::mpl::_2>>::type;

using processed_attributes_t = boost::mpl::fold<
    boost::mpl::protect<boost::mpl::joint_view<traits::shapes_attributes_by_element, traits::viewport_attributes>>,
    boost::mpl::set<tag::attribute::transform, tag::attribute::stroke, tag::attribute::fill, tag::attribute::color,
                    tag::attribute::display, tag::attribute::id>::type,
    boost::mpl::insert<boost::mpl::_1, boost::mpl::_2>>::type;

using Traversal =
    document_traversal<processed_elements<processed_elements_t>, processed_attributes<processed_attributes_t>,
                       viewport_policy<policy::viewport::as_transform>, context_factories<ChildContextFactories>,
                       length_policy<policy::length::forward_to_method<BaseContext>>,
                       attribute_traversal_policy<AttributeTraversal>>;

// Element names the traversal passes over although a renderer draws them.
constexpr const char* kNotFollowed[] = {"use", "image"};

void CountElements(const rapidxml_ns::xml_node<>* node, Collector& c) {
  for (const rapidxml_ns::xml_node<>* child = node->first_node(); child; child = child->next_sibling()) {
    if (child->type() != rapidxml_ns::node_element) continue;
    const std::string_view name(child->local_name(), child->local_name_size());
    if (name == "text") {
      ++c.design.textCount;
      continue;
    }
    if (name == "defs" || name == "clipPath" || name == "mask" || name == "symbol" || name == "pattern" ||
        name == "marker")
      continue;
    for (const char* skipped : kNotFollowed)
      if (name == skipped) c.skipped.insert(std::string(name));
    CountElements(child, c);
  }
}

// Inkscape names a layer in inkscape:label and gives it an id of its own:
// an element labelled with the cut id takes that id, so --cut-id finds a
// layer by the name the user sees.
void LabelAsId(rapidxml_ns::xml_document<>& doc, rapidxml_ns::xml_node<>* node, const std::string& cutId) {
  constexpr std::string_view kInkscape = "http://www.inkscape.org/namespaces/inkscape";
  for (rapidxml_ns::xml_node<>* child = node->first_node(); child; child = child->next_sibling()) {
    if (child->type() != rapidxml_ns::node_element) continue;
    for (const rapidxml_ns::xml_attribute<>* a = child->first_attribute(); a; a = a->next_attribute()) {
      if (std::string_view(a->local_name(), a->local_name_size()) != "label" ||
          std::string_view(a->namespace_uri(), a->namespace_uri_size()) != kInkscape ||
          std::string_view(a->value(), a->value_size()) != cutId)
        continue;
      if (rapidxml_ns::xml_attribute<>* id = child->first_attribute("id")) id->value(cutId.c_str(), cutId.size());
      else child->append_attribute(doc.allocate_attribute("id", cutId.c_str(), 2, cutId.size()));
      break;
    }
    LabelAsId(doc, child, cutId);
  }
}

// The root's viewBox width and height, for a root without width or height
// (which then default to 100 %: the whole viewBox at 1 px per user unit).
std::optional<std::pair<double, double>> ViewBoxSize(const rapidxml_ns::xml_node<>* root) {
  const rapidxml_ns::xml_attribute<>* a = root->first_attribute("viewBox");
  if (a == nullptr) return std::nullopt;
  std::string value(a->value(), a->value_size());
  for (char& ch : value)
    if (ch == ',') ch = ' ';
  double v[4];
  const char* p = value.c_str();
  for (double& x : v) {
    char* end = nullptr;
    x = std::strtod(p, &end);
    if (end == p) return std::nullopt;
    p = end;
  }
  if (!(v[2] > 0) || !(v[3] > 0)) return std::nullopt;
  return std::make_pair(v[2], v[3]);
}

}  // namespace

ImportResult ImportSvg(const std::string& text, const ImportOptions& options) {
  ImportResult result;
  if (MaxElementDepth(text) > kMaxSvgDepth) {
    result.error = ImportError::BrokenSvg;
    result.detail = "elements nested more than " + std::to_string(kMaxSvgDepth) + " deep";
    return result;
  }
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  Collector collector;
  collector.cutId = options.cutId;
  try {
    rapidxml_ns::xml_document<> doc;
    doc.parse<rapidxml_ns::parse_no_data_nodes>(buffer.data());
    rapidxml_ns::xml_node<>* root = doc.first_node();
    while (root != nullptr && root->type() != rapidxml_ns::node_element) root = root->next_sibling();
    if (root == nullptr || std::string_view(root->local_name(), root->local_name_size()) != "svg") {
      result.error = ImportError::BrokenSvg;
      result.detail = "no <svg> root element";
      return result;
    }
    if (!options.cutId.empty()) LabelAsId(doc, root, options.cutId);
    BaseContext context(collector);
    if (const auto box = ViewBoxSize(root)) context.SetInitialViewport(box->first, box->second);
    else context.SetInitialViewport(1000, 1000);
    Traversal::load_document(root, context);
    CountElements(root, collector);
  } catch (const std::exception& e) {
    result.error = ImportError::BrokenSvg;
    result.detail = e.what();
    return result;
  } catch (...) {
    result.error = ImportError::BrokenSvg;
    result.detail = "unreadable";
    return result;
  }
  result.design = std::move(collector.design);
  result.design.kind = DesignKind::Svg;
  if (result.design.textCount > 0)
    result.design.warnings.push_back({ImportWarning::TextNotCut, result.design.textCount, ""});
  if (!collector.skipped.empty()) {
    std::string names;
    for (const std::string& n : collector.skipped) names += (names.empty() ? "<" : ", <") + n + ">";
    result.design.warnings.push_back({ImportWarning::UnsupportedElement, collector.skipped.size(), names});
  }
  return result;
}

}  // namespace plotmark
