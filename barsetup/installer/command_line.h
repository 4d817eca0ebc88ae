// The installer's command line: its switches and the toolbar name.
#pragma once

#include <string>
#include <vector>

namespace barsetup {

class CMC_CommandLineInfo {
 public:
  // One argument; param has lost its leading "/" or "-" when isFlag is set.
  // Switch names match exactly, case included; nothing else is acted on.
  void ParseParam(const std::string& param, bool isFlag, bool isLast);

  bool m_bRegister = false;
  bool m_bUnregister = false;
  bool m_bVariantQ5 = false;
  std::string m_strToolBarName = "KV";
  // The ToolBarName switch has been seen: a last plain argument names the toolbar.
  bool s_bToolBarNameNext = false;
};

// Hands every argument (the program name excluded) to info.ParseParam as the
// framework's parser does: an argument starting with "/" or "-" is a switch,
// passed without that character.
void ParseCommandLine(const std::vector<std::string>& args, CMC_CommandLineInfo& info);

// The first argument that is a switch but none of the installer's (the
// parse ignores it), as given; empty when there is none.
std::string UnknownSwitch(const std::vector<std::string>& args);

}  // namespace barsetup
