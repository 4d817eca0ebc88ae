#include "installer/command_line.h"

namespace barsetup {
namespace {

bool IsFlag(const std::string& arg) { return !arg.empty() && (arg[0] == '/' || arg[0] == '-'); }

bool IsSwitchName(const std::string& name) {
  return name == "RegCdrPlugin" || name == "RegCdrPluginT" || name == "UnRegCdrPlugin" || name == "UnRegCdrPluginT" ||
         name == "Q5" || name == "ToolBarName";
}

}  // namespace

void CMC_CommandLineInfo::ParseParam(const std::string& param, bool isFlag, bool isLast) {
  if (!isFlag) {
    if (s_bToolBarNameNext && isLast) m_strToolBarName = param;
    return;
  }
  if (param == "RegCdrPlugin" || param == "RegCdrPluginT") {
    m_bRegister = true;
  } else if (param == "UnRegCdrPlugin" || param == "UnRegCdrPluginT") {
    m_bUnregister = true;
  } else if (param == "Q5") {
    m_bVariantQ5 = true;
  } else if (param == "ToolBarName") {
    s_bToolBarNameNext = true;
  }
}

void ParseCommandLine(const std::vector<std::string>& args, CMC_CommandLineInfo& info) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool isFlag = IsFlag(arg);
    info.ParseParam(isFlag ? arg.substr(1) : arg, isFlag, i + 1 == args.size());
  }
}

std::string UnknownSwitch(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (IsFlag(arg) && !IsSwitchName(arg.substr(1))) return arg;
  }
  return {};
}

}  // namespace barsetup
