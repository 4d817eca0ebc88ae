// Chinese for a zh_CN locale, as the Windows program is for language 2052.
#include <cstdlib>
#include <string_view>

#include "app/texts.h"

namespace plotmark {

Language SystemLanguage() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0')
      return std::string_view(value).starts_with("zh_CN") ? Language::Chinese : Language::English;
  }
  return Language::English;
}

}  // namespace plotmark
