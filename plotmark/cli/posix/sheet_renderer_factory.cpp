#include "cli/sheet_renderer_factory.h"

#include "sheet/posix/rsvg_renderer.h"

namespace plotmark {

std::unique_ptr<SheetRenderer> MakeSheetRenderer() { return std::make_unique<RsvgRenderer>(); }

}  // namespace plotmark
