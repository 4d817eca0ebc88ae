#include "app/win/save_file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "app/win/field_text.h"
#include "ui/win32/dialog_window.h"

namespace plotsend::win32 {
namespace {

// Room for a long path (the \\?\ limit) and its terminator.
constexpr size_t kPathCapacity = 32768;

}  // namespace

std::optional<std::string> ChooseSaveFile(HWND owner, const std::string& proposedName) {
  std::vector<wchar_t> path(kPathCapacity, L'\0');
  const std::wstring proposed = Widen(proposedName);
  std::copy_n(proposed.begin(), std::min(proposed.size(), path.size() - 1), path.begin());
  const std::wstring filter = FileDialogFilter(L"PLT Files(*.plt)|*.plt|");

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrDefExt = L"plt";
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLESIZING | OFN_PATHMUSTEXIST;
  if (!GetSaveFileNameW(&ofn)) return std::nullopt;
  return Narrow(std::wstring(path.data()));
}

}  // namespace plotsend::win32
