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

std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args, std::string& error) {
  CliOptions o;
  JobRequest& q = o.request;
  bool haveDesign = false, haveCutChoice = false;
  auto fail = [&](const std::string& message) {
    error = message;
    return std::optional<CliOptions>();
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    auto number = [&](double& out) {
      const auto v = value();
      const auto n = v ? Number(*v) : std::nullopt;
      if (!n) return false;
      out = *n;
      return true;
    };
    auto integer = [&](long long& out) {
      const auto v = value();
      const auto n = v ? Integer(*v) : std::nullopt;
      if (!n) return false;
      out = *n;
      return true;
    };
    auto text = [&](std::string& out) {
      const auto v = value();
      if (!v || v->empty()) return false;
      out = *v;
      return true;
    };
    auto cutChoice = [&]() {
      if (haveCutChoice) return false;
      haveCutChoice = true;
      return true;
    };
    long long n = 0;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--workdir") {
      if (!text(o.workDir.emplace())) return fail("--workdir needs a directory");
    } else if (a == "--cut-stroke") {
      if (!cutChoice()) return fail("give one of --cut-stroke, --cut-id and --outline");
      const auto v = value();
      const auto c = v ? ParseSvgColour(*v) : std::nullopt;
      if (!c) return fail("--cut-stroke needs a colour such as #ff0000 or red");
      q.cut.mode = CutMode::Stroke;
      q.cut.stroke = *c;
      q.cutStrokeText = *v;
    } else if (a == "--cut-id") {
      if (!cutChoice()) return fail("give one of --cut-stroke, --cut-id and --outline");
      if (!text(q.cut.id)) return fail("--cut-id needs an id");
      q.cut.mode = CutMode::Id;
    } else if (a == "--outline") {
      if (!cutChoice()) return fail("give one of --cut-stroke, --cut-id and --outline");
      q.cut.mode = CutMode::Outline;
      if (!number(q.cut.outlineMm)) return fail("--outline needs a distance in mm");
    } else if (a == "--marks") {
      if (!integer(n) || n < 0 || n > 9) return fail("--marks needs a mark type 0 to 9");
      q.markType = static_cast<int>(n);
    } else if (a == "--margin") {
      if (!number(q.marginMm)) return fail("--margin needs a distance in mm");
    } else if (a == "--sections") {
      if (!integer(n)) return fail("--sections needs a number");
      q.sections = static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));  // refused later, as given
    } else if (a == "--mark-size") {
      if (!number(q.sizes.circle) || !(q.sizes.circle > 0)) return fail("--mark-size needs a diameter in mm");
    } else if (a == "--mark-arm") {
      if (!number(q.sizes.arm) || !(q.sizes.arm > 0)) return fail("--mark-arm needs a length in mm");
    } else if (a == "--mark-line") {
      if (!number(q.sizes.line) || !(q.sizes.line > 0)) return fail("--mark-line needs a width in mm");
    } else if (a == "--code") {
      if (!integer(n)) return fail("--code needs a code number");
      q.code = n;
    } else if (a == "--sheet") {
      if (!text(q.sheetName)) return fail("--sheet needs a file name");
    } else if (a == "--page") {
      const auto v = value();
      const auto page = v ? ParsePageSize(*v) : std::nullopt;
      if (!page) return fail("--page needs A4, A3 or WxH in mm");
      q.page = page;
      q.pageText = *v;
    } else if (a == "--replace") {
      q.replace = true;
    } else if (a == "--start") {
      o.start = true;
    } else if (a.starts_with("--")) {
      return fail("unknown option " + a);
    } else {
      if (haveDesign) return fail("give one design, not " + q.designPath + " and " + a);
      q.designPath = a;
      haveDesign = true;
    }
  }
  if (!haveDesign && !o.help) return fail("no design given");
  return o;
}

}  // namespace plotmark
