// The Win32 side of the hyperlink. The port tests need no display; the
// window tests skip themselves when no window can be made (wine without X).
#include "ui/win32/hyperlink_control.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ui/win32/about_dialog.h"
#include "ui/win32/dialog_window.h"

namespace plotsend::win32 {
namespace {

std::wstring SystemDir() {
  wchar_t dir[MAX_PATH];
  const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  return std::wstring(dir, n);
}

std::wstring TempDir() {
  wchar_t dir[MAX_PATH];
  const DWORD n = GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir, n);
}

std::string CmdExe() { return Narrow(SystemDir() + L"\\cmd.exe"); }

// "path" args, built by appending (GCC 12 warns falsely on "lit" + string&&).
std::string Quoted(const std::string& path, const std::string& args) {
  std::string line(1, '"');
  line += path;
  line += "\" ";
  line += args;
  return line;
}

TEST(WinHyperLinkRun, FailuresGiveWinExecCodes) {
  EXPECT_EQ(WinExecCode(ERROR_FILE_NOT_FOUND), 2);
  EXPECT_EQ(WinExecCode(ERROR_PATH_NOT_FOUND), 3);
  EXPECT_EQ(WinExecCode(ERROR_ACCESS_DENIED), 5);
  EXPECT_EQ(WinExecCode(ERROR_NOT_ENOUGH_MEMORY), 8);
  EXPECT_EQ(WinExecCode(ERROR_OUTOFMEMORY), 0);
  EXPECT_EQ(WinExecCode(ERROR_SHARING_VIOLATION), 26);
  EXPECT_EQ(WinExecCode(ERROR_BAD_EXE_FORMAT), 11);
  EXPECT_EQ(WinExecCode(740), 11);  // ERROR_ELEVATION_REQUIRED
}

TEST(WinHyperLinkRun, MissingProgramsAndBadFiles) {
  WinHyperLinkPort port;
  const std::string temp = Narrow(TempDir());
  EXPECT_EQ(port.RunCommandLine(temp + "plotara-no-such-program.exe arg", SW_HIDE), 2);
  // A missing folder: the system says path or file not found, as it likes.
  const int noDir = port.RunCommandLine(temp + "plotara-no-such-dir\\b.exe arg", SW_HIDE);
  EXPECT_TRUE(noDir == 3 || noDir == 2) << noDir;

  const std::wstring bad = TempDir() + L"plotara-not-a-program.exe";
  HANDLE f = CreateFileW(bad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(f, "just text, not a program\r\n", 26, &written, nullptr);
  CloseHandle(f);
  const int code = port.RunCommandLine(Quoted(Narrow(bad), "x"), SW_HIDE);
  DeleteFileW(bad.c_str());
  EXPECT_EQ(code, 11);
}

TEST(WinHyperLinkRun, StartsProgramsInAnyScript) {
  WinHyperLinkPort port;
  EXPECT_EQ(port.RunCommandLine(Quoted(CmdExe(), "/c exit 0"), SW_HIDE), kWinExecStarted);

  // A folder name outside every ANSI code page: the line reaches the system whole.
  const std::wstring dir = TempDir() + L"plotara-\u6d4f\u89c8\u5668-\u0394";
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring copy = dir + L"\\b.exe";
  ASSERT_TRUE(CopyFileW((SystemDir() + L"\\cmd.exe").c_str(), copy.c_str(), FALSE));
  EXPECT_EQ(port.RunCommandLine(Quoted(Narrow(copy), "/c exit 0"), SW_HIDE), kWinExecStarted);
  // The started program may still hold its file for a moment.
  for (int i = 0; i < 50 && !DeleteFileW(copy.c_str()); ++i) Sleep(100);
  RemoveDirectoryW(dir.c_str());
}

// A key of our own under HKEY_CURRENT_USER stands in for the classes root:
// this checks the reads, not that HKEY_CLASSES_ROOT is where they look.
class TestClassesRoot : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = L"Software\\PlotaraTest\\HyperLink" + std::to_wstring(GetCurrentProcessId());
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr),
        ERROR_SUCCESS);
  }
  void TearDown() override {
    if (root_ != nullptr) RegCloseKey(root_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  }
  void SetDefault(const std::wstring& subKey, DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root_, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, nullptr, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void SetText(const std::wstring& subKey, const std::wstring& text, DWORD type = REG_SZ) {
    SetDefault(subKey, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  std::wstring path_;
  HKEY root_ = nullptr;
};

TEST_F(TestClassesRoot, ReadsDefaultValuesAsUtf8) {
  SetText(L".htm", L"plotara.page");
  SetText(L"plotara.page\\shell\\open\\command", L"\"C:\\\u6d4f\u89c8\u5668\\b.exe\" \"%1\"");
  WinHyperLinkPort port(root_);
  std::string value;
  EXPECT_EQ(port.ReadClassesRootDefault(".htm", value), 0);
  EXPECT_EQ(value, "plotara.page");
  EXPECT_EQ(port.ReadClassesRootDefault("plotara.page\\shell\\open\\command", value), 0);
  EXPECT_EQ(value, "\"C:\\\xe6\xb5\x8f\xe8\xa7\x88\xe5\x99\xa8\\b.exe\" \"%1\"");
}

TEST_F(TestClassesRoot, MissingKeysAndValuesFailAndLeaveTheValue) {
  HKEY bare = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root_, L"nodefault", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &bare, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(bare);
  const DWORD number = 7;
  SetDefault(L"number", REG_DWORD, &number, sizeof(number));
  WinHyperLinkPort port(root_);
  std::string value = "kept";
  EXPECT_EQ(port.ReadClassesRootDefault("absent", value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(port.ReadClassesRootDefault("nodefault", value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(port.ReadClassesRootDefault("number", value), ERROR_INVALID_DATA);
  EXPECT_EQ(value, "kept");
}

TEST_F(TestClassesRoot, LongAndExpandableValues) {
  const std::wstring longLine = L"C:\\" + std::wstring(1000, L'x') + L".exe %1";
  SetText(L"long", longLine);
  SetText(L"expand", L"%SystemRoot%\\b.exe", REG_EXPAND_SZ);
  std::wstring value;
  EXPECT_EQ(ReadRegistryDefault(root_, L"long", value), ERROR_SUCCESS);
  EXPECT_EQ(value, longLine);
  wchar_t systemRoot[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"SystemRoot", systemRoot, MAX_PATH);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(ReadRegistryDefault(root_, L"expand", value), ERROR_SUCCESS);
  EXPECT_EQ(value, std::wstring(systemRoot, n) + L"\\b.exe");
}

TEST_F(TestClassesRoot, FailedShellOpenRunsTheRegisteredBrowser) {
  SetText(L".htm", L"plotara.page");
  SetText(L"plotara.page\\shell\\open\\command", Widen(Quoted(CmdExe(), "/c exit \"%1\" never")));
  WinHyperLinkPort port(root_);
  const std::string missing = Narrow(TempDir()) + "plotara-no-such-dir\\page.htm";
  const int shellCode = port.ShellOpen(missing, SW_HIDE);
  EXPECT_FALSE(OpenSucceeded(shellCode)) << shellCode;
  EXPECT_EQ(OpenLink(port, missing, SW_HIDE), kWinExecStarted);

  RegDeleteTreeW(root_, L"plotara.page");
  EXPECT_EQ(OpenLink(port, missing, SW_HIDE), shellCode);
}

// Window tests: a hidden popup holding a static control.
class LinkWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (parent_ == nullptr) GTEST_SKIP() << "no window can be made here (no display)";
  }
  void TearDown() override {
    if (parent_ != nullptr) DestroyWindow(parent_);
  }
  HWND MakeStatic(const wchar_t* text, DWORD style) {
    HWND s = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, 50, 40, 300, 40, parent_,
                             reinterpret_cast<HMENU>(1023), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(s, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return s;
  }
  RECT RectInParent(HWND control) const {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, parent_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  SIZE Extent(HWND control, const std::wstring& text) const {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
  }
  HWND parent_ = nullptr;
};

struct OpenRecorder : HyperLinkPort {
  int ShellOpen(const std::string& target, int show) override {
    opened.push_back(target + " " + std::to_string(show));
    return 42;
  }
  long ReadClassesRootDefault(const std::string&, std::string&) override { return 2; }
  int RunCommandLine(const std::string&, int) override { return 2; }
  std::vector<std::string> opened;
};

COLORREF TextColourOf(const HyperLinkControl& link) {
  HDC dc = CreateCompatibleDC(nullptr);
  const HBRUSH brush = link.CtlColor(dc);
  const COLORREF colour = GetTextColor(dc);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(brush, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  DeleteDC(dc);
  return colour;
}

TEST_F(LinkWindow, AttachMakesAnUnderlinedFittedLinkWithTooltip) {
  HWND s = MakeStatic(L"", SS_RIGHT);
  const RECT before = RectInParent(s);
  HyperLinkControl link;
  link.Link().SetUrl("https://plotara.example/");
  ASSERT_TRUE(link.Attach(s));
  wchar_t text[64] = {};
  GetWindowTextW(s, text, 64);
  EXPECT_STREQ(text, L"https://plotara.example/");
  EXPECT_NE(GetWindowLongPtrW(s, GWL_STYLE) & SS_NOTIFY, 0);

  LOGFONTW font{};
  ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(s, WM_GETFONT, 0, 0)), sizeof(font), &font), 0);
  EXPECT_TRUE(font.lfUnderline);

  const SIZE extent = Extent(s, text);
  const RECT after = RectInParent(s);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.right - after.left, extent.cx);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.bottom - after.top, extent.cy);

  EXPECT_EQ(SendMessageW(s, WM_SETCURSOR, reinterpret_cast<WPARAM>(s), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);

  HWND tip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM out) -> BOOL {
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        if (lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0) return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t tipText[80] = {};
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = s;
  tool.uId = 1;
  tool.lpszText = tipText;
  SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(tipText, L"https://plotara.example/");
}

TEST_F(LinkWindow, CentredLinkKeepsItsCentreAndTheUrlComesFromTheText) {
  HWND s = MakeStatic(L"https://plotara.example/c", SS_CENTER | SS_CENTERIMAGE);
  const RECT before = RectInParent(s);
  HyperLinkControl link;
  ASSERT_TRUE(link.Attach(s));
  EXPECT_EQ(link.Link().Url(), "https://plotara.example/c");
  const RECT after = RectInParent(s);
  EXPECT_LE(std::abs((after.left + after.right) - (before.left + before.right)), 1);
  EXPECT_LE(std::abs((after.top + after.bottom) - (before.top + before.bottom)), 1);
  EXPECT_LT(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(LinkWindow, HoverCapturesTheMouseAndClickMarksVisited) {
  HWND s = MakeStatic(L"https://plotara.example/", SS_LEFT);
  OpenRecorder port;
  HyperLinkControl link(port);
  ASSERT_TRUE(link.Attach(s));
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(TextColourOf(link), RGB(0, 0, 238));

  SendMessageW(s, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(GetCapture(), s);
  EXPECT_EQ(TextColourOf(link), highlight);

  EXPECT_TRUE(link.OnParentCommand(STN_CLICKED, s));
  EXPECT_EQ(port.opened, (std::vector<std::string>{"https://plotara.example/ " + std::to_string(SW_SHOW)}));
  EXPECT_FALSE(link.OnParentCommand(STN_CLICKED, parent_));
  EXPECT_FALSE(link.OnParentCommand(STN_DBLCLK, s));

  SendMessageW(s, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(TextColourOf(link), RGB(85, 26, 139));

  // Another window taking the capture ends the hover too.
  SendMessageW(s, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  ASSERT_EQ(GetCapture(), s);
  SetCapture(parent_);
  EXPECT_FALSE(link.Link().IsHovering());
  ReleaseCapture();

  INT_PTR result = 0;
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_TRUE(
      link.OnParentMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(s), result));
  EXPECT_EQ(GetTextColor(dc), RGB(85, 26, 139));
  EXPECT_FALSE(
      link.OnParentMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(parent_), result));
  DeleteDC(dc);
}

TEST_F(LinkWindow, DestroyedControlLetsGoOfItsLink) {
  HWND s = MakeStatic(L"https://plotara.example/", SS_LEFT);
  HyperLinkControl link;
  ASSERT_TRUE(link.Attach(s));
  DestroyWindow(s);
  EXPECT_EQ(link.Handle(), nullptr);
  link.SetVisited(true);  // no window: only the state
  EXPECT_TRUE(link.Link().IsVisited());
}

TEST_F(LinkWindow, AboutBoxOpensWithItsHiddenLinkAndCloses) {
  std::atomic<bool> found{false};
  std::atomic<bool> linkHiddenAndNotifying{false};
  std::wstring linkText;
  std::thread closer([&] {
    for (int i = 0; i < 100 && !found; ++i) {
      HWND about = FindWindowW(L"#32770", L"About ");
      if (about != nullptr && IsWindowVisible(about)) {
        HWND link = GetDlgItem(about, 1023);
        if (link != nullptr) {
          wchar_t text[64] = {};
          GetWindowTextW(link, text, 64);
          linkText = text;
          linkHiddenAndNotifying = !IsWindowVisible(link) && (GetWindowLongPtrW(link, GWL_STYLE) & SS_NOTIFY) != 0;
        }
        found = true;
        PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return;
      }
      Sleep(50);
    }
  });
  RunAboutBox(parent_);
  closer.join();
  ASSERT_TRUE(found);
  EXPECT_TRUE(linkHiddenAndNotifying);
  EXPECT_EQ(linkText, L"https://plotara.example/");
  EXPECT_EQ(FindWindowW(L"#32770", L"About "), nullptr);
}

}  // namespace
}  // namespace plotsend::win32
