#include "installer/installer_texts.h"

namespace barsetup {

std::string NoteNoBackup(const std::string& path) {
  return "No backup of " + path + " could be made: it was left unchanged.";
}

std::string NoteNotUnpacked(const std::string& package) {
  return "The workspace " + package + " could not be unpacked: it was left unchanged.";
}

std::string NoteNotRepacked(const std::string& package) {
  return "The workspace " + package + " could not be packed again: it was left unchanged (its backup is " + package +
         ".bak).";
}

std::string NoteNotEdited(const std::string& path, const std::string& reason) {
  return "The toolbar could not be changed in " + path + " (" + reason + "): it was left unchanged.";
}

std::string NoteNoUnpackDirectory(const std::string& directory) {
  return "No working directory " + directory + " could be made: the workspace was left unchanged.";
}

std::string NoteNoWorkspaceNamed(const std::string& value) {
  return "The registry value " + value + " names no workspace file: nothing was changed for it.";
}

std::string NoteNoWorkspaceFile(const std::string& path) {
  return "The workspace " + path + " does not exist: nothing was changed for it.";
}

std::string FinalMessage(const std::string& fixedText, const std::vector<std::string>& notes) {
  std::string text = fixedText;
  if (!notes.empty()) text += "\n";
  for (const std::string& note : notes) text += "\n" + note;
  return text;
}

}  // namespace barsetup
