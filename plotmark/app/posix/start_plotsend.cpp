// The terminal plotsend needs a command and a link; it is not started for
// the user here.
#include "app/ports.h"

namespace plotmark {

bool CanStartPlotsend() { return false; }

bool StartPlotsend(std::string& program) {
  program.clear();
  return false;
}

}  // namespace plotmark
