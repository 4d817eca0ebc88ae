// Windows builds carry no renderer: the sheet is written as SVG only.
#include "cli/sheet_renderer_factory.h"

namespace plotmark {

std::unique_ptr<SheetRenderer> MakeSheetRenderer() { return std::make_unique<NoSheetRenderer>(); }

}  // namespace plotmark
