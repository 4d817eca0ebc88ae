// Every text the installer shows. The final message's texts are fixed; the
// notes after it tell the user about a workspace that was left unchanged.
#pragma once

#include <string>
#include <vector>

namespace barsetup {

inline constexpr const char* kNoVersionText =
    "Please install CorelDraw12 or X3 or X4 or X5 or X6 or X7 or X8 reinstall it!";
inline constexpr const char* kInstallPrefix = "Install CorelDraw";
inline constexpr const char* kUninstallPrefix = "Uninstall CorelDraw";
inline constexpr const char* kSuccessSuffix = " Success !";

// CorelDRAW runs: it writes its workspace back when it exits, over the edit.
inline constexpr const char* kCorelDrawRunningText =
    "CorelDRAW is running. It saves its workspace when it closes, which would undo the toolbar "
    "change. Close CorelDRAW, then choose Retry; Cancel changes nothing.";
inline constexpr const char* kInstallCancelledText =
    "Install cancelled while CorelDRAW is running: nothing was changed.";
inline constexpr const char* kUninstallCancelledText =
    "Uninstall cancelled while CorelDRAW is running: nothing was changed.";

// Notes naming one workspace file or package.
std::string NoteNoBackup(const std::string& path);
std::string NoteNotUnpacked(const std::string& package);
std::string NoteNotRepacked(const std::string& package);
std::string NoteNotEdited(const std::string& path, const std::string& reason);
std::string NoteNoUnpackDirectory(const std::string& directory);
// A registry value that names no workspace file (no full Windows path, or not
// a workspace's name), and a workspace file that is not there.
std::string NoteNoWorkspaceNamed(const std::string& value);
std::string NoteNoWorkspaceFile(const std::string& path);

// The final message: the fixed text, then the notes, one a line, after an
// empty line.
std::string FinalMessage(const std::string& fixedText, const std::vector<std::string>& notes);

}  // namespace barsetup
