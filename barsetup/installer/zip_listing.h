// Reads the central directory of a zip archive, to check a repacked workspace
// package before it replaces the original.
#pragma once

#include <string_view>
#include <vector>

namespace barsetup {

// Whether zip is a complete zip archive (its end record and central directory
// are in place) that lists an entry called name. Names compare with "/" and
// "\" alike and ASCII case ignored.
bool ZipListsEntry(const std::vector<unsigned char>& zip, std::string_view name);

}  // namespace barsetup
