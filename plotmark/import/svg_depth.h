#pragma once
// The deepest element nesting of an XML text, found by a scan of its tags
// (comments, CDATA sections, declarations and processing instructions are
// stepped over). Only a guard against runaway recursion, not a parser.
#include <string_view>

namespace plotmark {

int MaxElementDepth(std::string_view text);

}  // namespace plotmark
