#include "installer/macro_pass.h"

#include "installer/installer_texts.h"
#include "installer/path_text.h"
#include "installer/version_table.h"

namespace barsetup {

void CopyMacroFiles(FileSystemPort& files, const std::string& sourceDir, const std::string& macroBase, bool install,
                    bool variantQ5) {
  const std::string gmsDir = macroBase + "GMS";
  if (!files.Exists(gmsDir)) files.CreateDirectory(gmsDir);
  for (std::string_view name : variantQ5 ? MacroFilesQ5 : MacroFilesStandard) {
    const std::string target = gmsDir + "\\" + std::string(name);
    if (install) {
      files.CopyFile(sourceDir + std::string(name), target);
    } else {
      files.DeleteFile(target);
    }
  }
}

std::string ResultText(bool install, const std::string& labels) {
  if (labels.empty()) return kNoVersionText;
  return (install ? kInstallPrefix : kUninstallPrefix) + labels + kSuccessSuffix;
}

void InstallMacros(InstallerPorts& ports, const std::string& programDir, bool install, bool variantQ5,
                   const std::vector<std::string>& notes) {
  std::string labels;
  for (const VersionRow& row : VersionTable()) {
    std::string macroBase;
    if (!ports.registry.ReadString(row.directoriesKey, "EmbedObjDir", &macroBase)) continue;
    if (!FitsPathBuffer(macroBase)) continue;
    // Only a full Windows path names the same directory wherever the
    // installer runs; any other value gets its label but no files.
    if (IsFullWindowsPath(macroBase)) CopyMacroFiles(ports.files, programDir, macroBase, install, variantQ5);
    labels += row.label;
  }
  ports.message.Show(FinalMessage(ResultText(install, labels), notes), MessageStyle::Result);
}

}  // namespace barsetup
