#include "import/load_design.h"

#include <cctype>

#include "import/hpgl_import.h"
#include "import/svg_import.h"

namespace plotmark {

DesignFormat DetectFormat(std::string_view text) {
  if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0x1f && static_cast<unsigned char>(text[1]) == 0x8b)
    return DesignFormat::CompressedSvg;
  std::string_view t = text;
  if (t.starts_with("\xEF\xBB\xBF")) t.remove_prefix(3);
  size_t i = 0;
  while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i]))) ++i;
  if (i < t.size() && t[i] == '<') return DesignFormat::Svg;
  if (LooksLikeHpgl(t)) return DesignFormat::Hpgl;
  return DesignFormat::Unknown;
}

ImportResult ImportDesign(const std::string& text, const ImportOptions& options) {
  switch (DetectFormat(text)) {
    case DesignFormat::Svg: return ImportSvg(text, options);
    case DesignFormat::Hpgl: return ImportHpgl(text);
    case DesignFormat::CompressedSvg: {
      ImportResult r;
      r.error = ImportError::CompressedSvg;
      return r;
    }
    case DesignFormat::Unknown: break;
  }
  ImportResult r;
  r.error = ImportError::UnknownFormat;
  return r;
}

}  // namespace plotmark
