// A helper of the GUI checks, run in the same wine session as the program
// under test. It reports what a window shows (control rectangles in screen
// coordinates, texts, enabled state, the selected list entry) and the
// system language, so the checks click where a control really is and read
// what it really says. Its own small dialog lets the checks test themselves.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "common/win32/wide_text.h"

namespace {

constexpr UINT kTimeoutMs = 2000;
constexpr int kProbeDialog = 1;
constexpr int kBoxButton = 100;

void Print(const std::wstring& text) {
  std::string utf8 = plotara::ToUtf8(text) + '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
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
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kTimeoutMs,
                           &copied))
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

// For each control: "x y width height enabled visible", then its text.
int ShowControls(const wchar_t* title, const std::wstring* ids, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    HWND control = Control(title, ids[i].c_str());
    if (!control) return 2;
    Print(RectText(control) + (IsWindowEnabled(control) ? L" 1" : L" 0") + (IsWindowVisible(control) ? L" 1" : L" 0"));
    Print(WindowText(control));
  }
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
  if (!SendMessageTimeoutW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kTimeoutMs,
                           &length) ||
      static_cast<LRESULT>(length) == CB_ERR)
    return 3;
  Print(std::to_wstring(index) + L" " + std::wstring(text, length));
  return 0;
}

// "1" while the combo box's list is open, else "0".
int ShowComboDropped(const wchar_t* title, const wchar_t* id) {
  HWND combo = Control(title, id);
  if (!combo) return 2;
  DWORD_PTR dropped = 0;
  if (!SendMessageTimeoutW(combo, CB_GETDROPPEDSTATE, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &dropped)) return 3;
  Print(dropped != 0 ? L"1" : L"0");
  return 0;
}

// The clipboard's owner: a message-only window of this process, made once
// (without an owner window the clipboard takes no data).
HWND ClipboardOwner() {
  static HWND owner =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
  return owner;
}

// Puts text on the clipboard, for a paste where typing cannot reach: xdotool
// types a character that is not on the keyboard through a key mapped for a
// moment, and wine may read that key after the moment has passed.
int SetClipboardText(const std::wstring& text) {
  if (!OpenClipboard(ClipboardOwner())) return 3;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  bool ok = false;
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(memory)) {
      std::memcpy(target, text.c_str(), bytes);
      GlobalUnlock(memory);
      ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!ok) GlobalFree(memory);
  }
  CloseClipboard();
  return ok ? 0 : 3;
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
    case IDOK: EndDialog(dialog, WriteMarker(marker) ? IDOK : IDABORT); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case kBoxButton: MessageBoxW(dialog, L"The probe's message box.", L"GUI probe box", MB_OK); return TRUE;
    default: return FALSE;
  }
}

int RunProbeDialog(const wchar_t* marker) {
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProbeDialog), nullptr,
                                         ProbeDialog, reinterpret_cast<LPARAM>(marker));
  return result == IDOK ? 0 : 1;
}

int Usage() {
  Print(
      L"usage: gui_probe langid | foreground | window TITLE | control TITLE ID... |"
      L" combo TITLE ID | dropped TITLE ID | clipboard TEXT | dialog FILE | serve");
  return 64;
}

// One request: the command and its arguments.
int Run(const std::vector<std::wstring>& args) {
  const size_t n = args.size();
  const std::wstring command = n > 0 ? args[0] : L"";
  if (command == L"langid" && n == 1) {
    Print(std::to_wstring(GetSystemDefaultLangID()));
    return 0;
  }
  if (command == L"foreground" && n == 1) return ShowForeground();
  if (command == L"window" && n == 2) return ShowWindowRect(args[1].c_str());
  if (command == L"control" && n >= 3) return ShowControls(args[1].c_str(), &args[2], n - 2);
  if (command == L"combo" && n == 3) return ShowComboSelection(args[1].c_str(), args[2].c_str());
  if (command == L"dropped" && n == 3) return ShowComboDropped(args[1].c_str(), args[2].c_str());
  if (command == L"clipboard" && n == 2) return SetClipboardText(args[1]);
  if (command == L"dialog" && n == 2) return RunProbeDialog(args[1].c_str());
  return Usage();
}

// One line of standard input; false at its end. Requests are short, so a
// byte at a time is fast enough and never reads past the line.
bool ReadLine(HANDLE input, std::string& line) {
  line.clear();
  char c = 0;
  DWORD got = 0;
  while (ReadFile(input, &c, 1, &got, nullptr) && got == 1) {
    if (c == '\n') return true;
    if (c != '\r') line += c;
  }
  return !line.empty();
}

// Requests one a line, arguments separated by tabs; each answer ends with
// the line "--end STATUS". One wine process for a whole check instead of
// one per question.
int Serve() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  std::string line;
  while (ReadLine(input, line)) {
    std::vector<std::wstring> args;
    size_t start = 0;
    for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
      args.push_back(plotara::ToWideForDisplay(line.substr(start, tab - start)));
      start = tab + 1;
    }
    args.push_back(plotara::ToWideForDisplay(line.substr(start)));
    const int status = args[0] == L"serve" || args[0] == L"dialog" ? Usage() : Run(args);
    Print(L"--end " + std::to_wstring(status));
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"serve") return Serve();
  return Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
