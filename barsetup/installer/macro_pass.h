// The macro pass: copies the six GMS projects into every version's macro
// directory (or deletes them) and shows the final message.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "installer/installer_ports.h"

namespace barsetup {

inline constexpr std::array<std::string_view, 6> MacroFilesStandard = {"KvAddAutoMark.gms",   "KvAddHandMark.gms",
                                                                       "KvAddCircleMark.gms", "KvDeleteMark.gms",
                                                                       "KvOutput.gms",        "KvOutputOutline.gms"};
inline constexpr std::array<std::string_view, 6> MacroFilesQ5 = {"KvAddBoundaryLineQ5.gms", "KvAddFourLMark2Q5.gms",
                                                                 "KvDeleteMarkQ5.gms",      "KvOutputQ5.gms",
                                                                 "KvOutputOutlineQ5.gms",   "KvAddCircleMarkQ5.gms"};

// Creates macroBase + "GMS" when missing (both modes), then copies each file of
// the set from sourceDir into it, replacing, or deletes it there. Single
// failures (a source that is not there, a locked target) are ignored.
void CopyMacroFiles(FileSystemPort& files, const std::string& sourceDir, const std::string& macroBase, bool install,
                    bool variantQ5);

// The fixed text of the final message for the labels of the versions served.
std::string ResultText(bool install, const std::string& labels);

// Serves every version whose directories key holds "EmbedObjDir", then shows
// the final message with the notes of the workspace pass below it.
void InstallMacros(InstallerPorts& ports, const std::string& programDir, bool install, bool variantQ5,
                   const std::vector<std::string>& notes);

}  // namespace barsetup
