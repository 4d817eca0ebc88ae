#include "import/svg_depth.h"

#include <algorithm>
#include <cctype>

namespace plotmark {
namespace {

// The position after `end` from `from`, or the text's size.
size_t Skip(std::string_view text, size_t from, std::string_view end) {
  const size_t at = text.find(end, from);
  return at == std::string_view::npos ? text.size() : at + end.size();
}

}  // namespace

int MaxElementDepth(std::string_view text) {
  int depth = 0, deepest = 0;
  size_t i = 0;
  while ((i = text.find('<', i)) != std::string_view::npos) {
    const std::string_view rest = text.substr(i);
    if (rest.starts_with("<!--")) {
      i = Skip(text, i + 4, "-->");
    } else if (rest.starts_with("<![CDATA[")) {
      i = Skip(text, i + 9, "]]>");
    } else if (rest.starts_with("<?")) {
      i = Skip(text, i + 2, "?>");
    } else if (rest.starts_with("<!")) {
      i = Skip(text, i + 2, ">");
    } else if (rest.starts_with("</")) {
      depth = std::max(0, depth - 1);
      i = Skip(text, i + 2, ">");
    } else {
      // An opening tag: find its end, minding quoted attribute values.
      size_t j = i + 1;
      char quote = 0;
      for (; j < text.size(); ++j) {
        const char c = text[j];
        if (quote != 0) {
          if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '>') {
          break;
        }
      }
      const bool selfClosing = j < text.size() && j > i + 1 && text[j - 1] == '/';
      if (!selfClosing) deepest = std::max(deepest, ++depth);
      i = j < text.size() ? j + 1 : text.size();
    }
  }
  return deepest;
}

}  // namespace plotmark
