// A helper of the GUI checks, run in the same wine session as the program
// under test. It reports what a window shows (control rectangles in screen
// coordinates, texts, enabled state, the selected list entry) and the
// system language, so the checks click where a control really is and read
// what it really says. Its own small dialog lets the checks test themselves.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr UINT kTimeoutMs = 2000;
constexpr int kProbeDialog = 1;
constexpr int kBoxButton = 100;

void Print(const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes,
                      nullptr, nullptr);
  utf8 += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()),
            &written, nullptr);
}

std::wstring RectText(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  wchar_t line[96];
  std::swprintf(line, 96, L"%ld %ld %ld %ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return line;
}

// The text of a window of any process: WM_GETTEXT is carried across.
std::wstring WindowText(HWND window) {
  wchar_t text[512] = L"";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, kTimeoutMs, &copied))
    return L"";
  return std::wstring(text, copied);
}

struct Search {
  const wchar_t* title;
  int controlId;  // 0: any window with the title
  HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (!IsWindowVisible(window) || WindowText(window) != search->title) return TRUE;
  if (search->controlId != 0 && !GetDlgItem(window, search->controlId)) return TRUE;
  search->found = window;
  return FALSE;
}

// The visible top-level window with this title that has the control (a
// message box may carry the same title as the dialog it belongs to).
HWND FindTopLevel(const wchar_t* title, int controlId) {
  Search search{title, controlId, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Control(const wchar_t* title, const wchar_t* id) {
  const int controlId = _wtoi(id);
  HWND dialog = FindTopLevel(title, controlId);
  return dialog ? GetDlgItem(dialog, controlId) : nullptr;
}

int ShowWindowRect(const wchar_t* title) {
  HWND window = FindTopLevel(title, 0);
  if (!window) return 2;
  Print(RectText(window));
  return 0;
}

// The title of the window that has the keyboard now.
int ShowForeground() {
  HWND window = GetForegroundWindow();
  if (!window) return 2;
  Print(WindowText(window));
  return 0;
}

// "x y width height enabled visible", then the control's text.
int ShowControl(const wchar_t* title, const wchar_t* id) {
  HWND control = Control(title, id);
  if (!control) return 2;
  Print(RectText(control) + (IsWindowEnabled(control) ? L" 1" : L" 0") +
        (IsWindowVisible(control) ? L" 1" : L" 0"));
  Print(WindowText(control));
  return 0;
}

int ShowComboSelection(const wchar_t* title, const wchar_t* id) {
  HWND combo = Control(title, id);
  if (!combo) return 2;
  DWORD_PTR index = 0;
  if (!SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &index) ||
      static_cast<LRESULT>(index) == CB_ERR)
    return 3;
  wchar_t text[256] = L"";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, kTimeoutMs, &length) ||
      static_cast<LRESULT>(length) == CB_ERR)
    return 3;
  Print(std::to_wstring(index) + L" " + std::wstring(text, length));
  return 0;
}

bool WriteMarker(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, "probe\n", 6, &written, nullptr) && written == 6;
  return CloseHandle(file) && ok;
}

// The probe dialog: the default button writes the marker file and ends the
// dialog, the other one opens a message box.
INT_PTR CALLBACK ProbeDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  const auto* marker = reinterpret_cast<const wchar_t*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (LOWORD(wParam)) {
    case IDOK:
      EndDialog(dialog, WriteMarker(marker) ? IDOK : IDABORT);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    case kBoxButton:
      MessageBoxW(dialog, L"The probe's message box.", L"GUI probe box", MB_OK);
      return TRUE;
    default:
      return FALSE;
  }
}

int RunProbeDialog(const wchar_t* marker) {
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProbeDialog),
                                         nullptr, ProbeDialog, reinterpret_cast<LPARAM>(marker));
  return result == IDOK ? 0 : 1;
}

int Usage() {
  Print(L"usage: gui_probe langid | foreground | window TITLE | control TITLE ID | combo TITLE ID | dialog FILE");
  return 64;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"langid" && argc == 2) {
    Print(std::to_wstring(GetSystemDefaultLangID()));
    return 0;
  }
  if (command == L"foreground" && argc == 2) return ShowForeground();
  if (command == L"window" && argc == 3) return ShowWindowRect(argv[2]);
  if (command == L"control" && argc == 4) return ShowControl(argv[2], argv[3]);
  if (command == L"combo" && argc == 4) return ShowComboSelection(argv[2], argv[3]);
  if (command == L"dialog" && argc == 3) return RunProbeDialog(argv[2]);
  return Usage();
}
