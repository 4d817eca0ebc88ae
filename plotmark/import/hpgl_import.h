#pragma once
// HP-GL / PLT designs as design and CAD programs write them, normalised to
// paths in millimetres (40 plotter units to the millimetre, y turned to run
// downward like the printed page).
#include <string_view>

#include "import/design.h"

namespace plotmark {

ImportResult ImportHpgl(std::string_view text);

// True when the text starts like an HP-GL file: optional escape sequences
// and blanks, then a known two-letter command.
bool LooksLikeHpgl(std::string_view text);

}  // namespace plotmark
