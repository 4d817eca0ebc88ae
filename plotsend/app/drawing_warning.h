#pragma once
// The warning for a drawing that uses what the reader does not read as drawn.
#include <string>

#include "app/texts.h"
#include "job/drawing_findings.h"

namespace plotsend {

// "the drawing uses PA, SC: only PU/PD with coordinates are read; ...",
// naming everything found; empty when nothing was.
std::string DrawingWarning(const DrawingFindings& findings, Language language);

}  // namespace plotsend
