// The system's message text for an error code.
#pragma once

#include <string>

namespace barsetup {

// The text of the system message table for code (no inserts), UTF-8, with
// the trailing line break removed; "Error N" when the table has none.
std::string SystemErrorText(unsigned long code);

}  // namespace barsetup
