// Chinese when the system default language identifier is 2052.
#include <windows.h>

#include "app/texts.h"

namespace plotmark {

Language SystemLanguage() { return GetSystemDefaultLangID() == 2052 ? Language::Chinese : Language::English; }

}  // namespace plotmark
