#include "cli/options.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "import/svg_colour.h"

namespace plotmark {
namespace {

std::optional<double> Number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text.c_str(), &end);
  if (*end != '\0' || errno != 0 || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<long long> Integer(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || errno != 0) return std::nullopt;
  return v;
}

}  // namespace

std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args, CliError& error) {
  CliOptions o;
  JobRequest& q = o.request;
  bool haveDesign = false, haveCutChoice = false;
  auto fail = [&](TextId id, std::string arg1 = {}, std::string arg2 = {}) {
    error = {id, std::move(arg1), std::move(arg2)};
    return std::optional<CliOptions>();
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    auto text = [&](std::string& out) {
      const auto v = value();
      if (!v || v->empty()) return false;
      out = *v;
      return true;
    };
    auto number = [&](double& out) {
      const auto v = value();
      const auto n = v ? Number(*v) : std::nullopt;
      if (!n) return false;
      out = *n;
      return true;
    };
    auto length = [&](double& out) { return number(out) && out > 0; };
    auto integer = [&](long long& out) {
      const auto v = value();
      const auto n = v ? Integer(*v) : std::nullopt;
      if (!n) return false;
      out = *n;
      return true;
    };
    // The cut is chosen once.
    auto cutChoice = [&](CutMode mode) {
      if (haveCutChoice) return false;
      haveCutChoice = true;
      q.cut.mode = mode;
      return true;
    };
    long long n = 0;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--workdir") {
      if (!text(o.workDir.emplace())) return fail(TextId::OptNeedsDirectory, a);
    } else if (a == "--cut-stroke") {
      if (!cutChoice(CutMode::Stroke)) return fail(TextId::OptOneCut);
      const auto v = value();
      const auto c = v ? ParseSvgColour(*v) : std::nullopt;
      if (!c) return fail(TextId::OptNeedsColour);
      q.cut.stroke = *c;
      q.cutStrokeText = *v;
    } else if (a == "--cut-id") {
      if (!cutChoice(CutMode::Id)) return fail(TextId::OptOneCut);
      if (!text(q.cut.id)) return fail(TextId::OptNeedsId);
    } else if (a == "--outline") {
      if (!cutChoice(CutMode::Outline)) return fail(TextId::OptOneCut);
      if (!number(q.cut.outlineMm)) return fail(TextId::OptNeedsMm, a);
    } else if (a == "--marks") {
      if (!integer(n) || n < 0 || n > 9) return fail(TextId::OptNeedsMarkType);
      q.markType = static_cast<int>(n);
    } else if (a == "--margin") {
      if (!number(q.marginMm)) return fail(TextId::OptNeedsMm, a);
    } else if (a == "--sections") {
      if (!integer(n)) return fail(TextId::OptNeedsNumber, a);
      q.sections = static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));  // refused later, as given
    } else if (a == "--mark-size") {
      if (!length(q.sizes.circle)) return fail(TextId::OptNeedsMm, a);
    } else if (a == "--mark-arm") {
      if (!length(q.sizes.arm)) return fail(TextId::OptNeedsMm, a);
    } else if (a == "--mark-line") {
      if (!length(q.sizes.line)) return fail(TextId::OptNeedsMm, a);
    } else if (a == "--code") {
      if (!integer(n)) return fail(TextId::OptNeedsNumber, a);
      q.code = n;
    } else if (a == "--sheet") {
      if (!text(q.sheetName)) return fail(TextId::OptNeedsFileName, a);
    } else if (a == "--page") {
      const auto v = value();
      const auto page = v ? ParsePageSize(*v) : std::nullopt;
      if (!page) return fail(TextId::BadPage, v.value_or(""));
      q.page = page;
      q.pageText = *v;
    } else if (a == "--replace") {
      q.replace = true;
    } else if (a == "--start") {
      o.start = true;
    } else if (a.starts_with("--")) {
      return fail(TextId::OptUnknown, a);
    } else {
      if (haveDesign) return fail(TextId::OptTwoDesigns, q.designPath, a);
      q.designPath = a;
      haveDesign = true;
    }
  }
  if (!haveDesign && !o.help) return fail(TextId::OptNoDesign);
  return o;
}

}  // namespace plotmark
