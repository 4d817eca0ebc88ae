#pragma once
// The work directory shared with the drawing-program macros, and the paths
// of its files. Paths are UTF-8.
#include <string>
#include <string_view>

namespace plotsend {

inline constexpr std::string_view kJobPltName = "kavren.plt";
inline constexpr std::string_view kSectionedPltName = "kavren_m.plt";
inline constexpr std::string_view kMarkRefName = "markref.kv";
inline constexpr std::string_view kCodeInfoName = "codeinfo.kv";
inline constexpr std::string_view kCodeNumberName = "codenumble.kv";
inline constexpr std::string_view kConfigName = "config.ini";

class WorkDir {
 public:
  // `dir` gets a trailing separator when it has none.
  explicit WorkDir(std::string dir);

  // The directory with its trailing separator.
  const std::string& Dir() const { return dir_; }
  std::string File(std::string_view name) const { return dir_ + std::string(name); }

  std::string KavrenPlt() const { return File(kJobPltName); }
  std::string KavrenMPlt() const { return File(kSectionedPltName); }
  // kavren.kv0 .. kavren.kv3; n is taken modulo 10 so the name stays one digit.
  std::string KavrenKv(unsigned n) const;
  std::string MarkRefKv() const { return File(kMarkRefName); }
  std::string CodeInfoKv() const { return File(kCodeInfoName); }
  std::string CodeNumbleKv() const { return File(kCodeNumberName); }
  std::string ConfigIni() const { return File(kConfigName); }

  bool operator==(const WorkDir&) const = default;

 private:
  std::string dir_;
};

// Windows: c:\PlotaraCdr\ ; elsewhere $PLOTARA_WORKDIR when set and not
// empty, else PlotaraCdr/ in the home directory.
WorkDir DefaultWorkDir();

// Creates the directory (and its parents) when missing. True when it exists
// as a directory afterwards.
bool EnsureWorkDir(const WorkDir& dir);

}  // namespace plotsend
