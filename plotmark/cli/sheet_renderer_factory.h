#pragma once
// The sheet renderer of this build: librsvg and cairo where they are, else none.
#include <memory>

#include "app/ports.h"

namespace plotmark {

std::unique_ptr<SheetRenderer> MakeSheetRenderer();

}  // namespace plotmark
