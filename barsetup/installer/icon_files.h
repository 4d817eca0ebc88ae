// The nine button icons that lie beside the installer, named by the GUIDs the
// toolbar's item definitions reference.
#pragma once

#include <array>
#include <string_view>

namespace barsetup {

inline constexpr std::array<std::string_view, 9> IconFiles = {
    "4d8c3ba6-21b9-4a77-83c9-6140dea2a554.ico", "8fb721e4-554e-4a18-9a42-ad7bbcc5f2a6.ico",
    "abdb2475-4dab-4f5c-a0f3-aa2b2185f49e.ico", "abdb2475-4dab-4f5c-a0f3-aa2b2185f493.ico",
    "c1226ae4-cb43-4ced-b6da-e422c9deb4b3.ico", "c1226ae4-cb43-4ced-b6da-e422c9deb4b8.ico",
    "f590adcf-1ee8-4a56-bca9-b110aa92caa4.ico", "c1226ae4-cb43-4ced-b6da-e422c9deb4b4.ico",
    "c1226ae4-cb43-4ced-b6da-e422c9deb4b9.ico"};

}  // namespace barsetup
