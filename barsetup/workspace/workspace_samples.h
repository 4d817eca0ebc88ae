// Synthetic CorelDRAW UI configuration documents for tests and benchmarks:
// a frame of dockBars (one floating, with two lanes), command bars with the
// host toolbar between two others, and item definitions.
#pragma once

#include <cstddef>
#include <string>

namespace barsetup {

// The document as a version's file would hold it: below 17 toolbar bodies
// are "container", from 17 on "toolbar". With padTo, further command bars
// and item definitions (with pictures) make it at least that many bytes.
std::string SampleUiConfig(int version, size_t padTo = 0);

}  // namespace barsetup
