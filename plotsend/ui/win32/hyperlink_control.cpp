#include "ui/win32/hyperlink_control.h"

#include <commctrl.h>
#include <windowsx.h>

#include "ui/win32/dialog_window.h"

namespace plotsend::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kToolId = 1;
constexpr int kHandCursorResource = 106;
// IDC_HAND as a wide resource name (the header's is narrow without UNICODE).
const LPCWSTR kSystemHand = MAKEINTRESOURCEW(32649);
constexpr wchar_t kMessageCaption[] = L"Plotsend";

Rgb FromColorRef(COLORREF c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; }

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

// The cursor resource 106 of the Windows help program, as a copy of our own.
HCURSOR CopyHelpProgramCursor() {
  std::wstring path(MAX_PATH, L'\0');
  const UINT length = GetWindowsDirectoryW(path.data(), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  path.resize(length);
  path += L"\\winhlp32.exe";
  // Mapped for its resources only: none of its code runs.
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return nullptr;
  HCURSOR copy = nullptr;
  if (HCURSOR cursor = LoadCursorW(module, MAKEINTRESOURCEW(kHandCursorResource))) {
    copy = static_cast<HCURSOR>(CopyIcon(cursor));
  }
  FreeLibrary(module);
  return copy;
}

}  // namespace

HyperLinkControl::HyperLinkControl() : port_(systemPort_), link_(FromColorRef(GetSysColor(COLOR_HIGHLIGHT))) {}

HyperLinkControl::HyperLinkControl(HyperLinkPort& port)
    : port_(port), link_(FromColorRef(GetSysColor(COLOR_HIGHLIGHT))) {}

HyperLinkControl::~HyperLinkControl() {
  Detach(false);
  if (linkFont_ != nullptr) DeleteObject(linkFont_);
  if (ownsCursor_) DestroyCursor(handCursor_);
}

bool HyperLinkControl::Attach(HWND control) {
  if (hwnd_ != nullptr || control == nullptr) return false;
  if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  hwnd_ = control;
  SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | SS_NOTIFY);
  const std::string text = Narrow(WindowText(hwnd_));
  const std::string shown = link_.AdoptWindowText(text);
  if (shown != text) SetWindowTextW(hwnd_, Widen(shown).c_str());
  SetLinkFont();
  FitToText();
  LoadHandCursor();
  CreateToolTip();
  return true;
}

void HyperLinkControl::SetLinkFont() {
  originalFont_ = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  // A static without a font of its own draws with the system font.
  HGDIOBJ base = originalFont_ != nullptr ? static_cast<HGDIOBJ>(originalFont_) : GetStockObject(SYSTEM_FONT);
  LOGFONTW font{};
  if (GetObjectW(base, sizeof(font), &font) == 0) return;
  font.lfUnderline = link_.underline ? TRUE : FALSE;
  HFONT created = CreateFontIndirectW(&font);
  if (created == nullptr) return;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
  if (linkFont_ != nullptr) DeleteObject(linkFont_);
  linkFont_ = created;
}

void HyperLinkControl::FitToText() {
  if (!link_.fitToText || hwnd_ == nullptr || !IsWindow(hwnd_)) return;
  HWND parent = GetParent(hwnd_);
  RECT window{};
  GetWindowRect(hwnd_, &window);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&window), 2);
  const std::wstring text = WindowText(hwnd_);
  SIZE extent{};
  HDC dc = GetDC(hwnd_);
  if (dc == nullptr) return;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  const BOOL measured = GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  if (old != nullptr) SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  if (!measured) return;
  const auto style = static_cast<uint32_t>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  const PixelRect fitted =
      FitRectToText({window.left, window.top, window.right, window.bottom}, extent.cx, extent.cy, style);
  SetWindowPos(hwnd_, nullptr, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void HyperLinkControl::LoadHandCursor() {
  if (handCursor_ != nullptr) return;
  handCursor_ = CopyHelpProgramCursor();
  ownsCursor_ = handCursor_ != nullptr;
  // Where the help program has no such cursor (it is absent from current
  // systems), the system's shared hand cursor, which is not destroyed.
  if (handCursor_ == nullptr) handCursor_ = LoadCursorW(nullptr, kSystemHand);
}

void HyperLinkControl::CreateToolTip() {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(hwnd_), nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (toolTip_ == nullptr) return;
  toolText_ = Widen(link_.Url());
  TOOLINFOW tool{};
  // The size every common-controls version accepts.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = hwnd_;
  tool.uId = kToolId;
  GetClientRect(hwnd_, &tool.rect);
  tool.lpszText = toolText_.data();
  SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void HyperLinkControl::SetVisited(bool visited) {
  link_.SetVisited(visited);
  if (hwnd_ != nullptr && IsWindow(hwnd_)) InvalidateRect(hwnd_, nullptr, TRUE);
}

int HyperLinkControl::OpenLink(const std::string& url, int showCommand) {
  return plotsend::OpenLink(port_, url, showCommand);
}

void HyperLinkControl::ShowOpenError(int code) {
  HWND owner = hwnd_ != nullptr ? GetParent(hwnd_) : nullptr;
  MessageBoxW(owner, Widen(OpenErrorText(code)).c_str(), kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
}

void HyperLinkControl::HandleClick() {
  const int code = link_.HandleClick(port_, SW_SHOW);
  // Redrawn either way: a failure after a success takes the visited colour away.
  SetVisited(link_.IsVisited());
  if (link_.IsVisited()) return;
  MessageBeep(MB_ICONEXCLAMATION);
  ShowOpenError(code);
}

HBRUSH HyperLinkControl::CtlColor(HDC dc) const {
  SetTextColor(dc, ToColorRef(link_.TextColor()));
  SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool HyperLinkControl::OnParentCommand(int code, HWND control) {
  if (hwnd_ == nullptr || control != hwnd_ || code != STN_CLICKED) return false;
  HandleClick();
  return true;
}

bool HyperLinkControl::OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  if (message != WM_CTLCOLORSTATIC || hwnd_ == nullptr || reinterpret_cast<HWND>(lParam) != hwnd_) return false;
  result = reinterpret_cast<INT_PTR>(CtlColor(reinterpret_cast<HDC>(wParam)));
  return true;
}

void HyperLinkControl::Redraw() { RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

void HyperLinkControl::ApplyHoverChange(HoverChange change) {
  if (change == HoverChange::Entered) {
    Redraw();
    SetCapture(hwnd_);
  } else if (change == HoverChange::Left) {
    // Releasing sends WM_CAPTURECHANGED, which then finds nothing to undo.
    if (GetCapture() == hwnd_) ReleaseCapture();
    Redraw();
  }
}

void HyperLinkControl::OnMouseMove(LPARAM lParam) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ApplyHoverChange(link_.OnMouseMove(PtInRect(&client, at) != FALSE));
}

void HyperLinkControl::RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam) {
  if (toolTip_ == nullptr) return;
  const bool mouse = message == WM_MOUSEMOVE || (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK);
  if (!mouse) return;
  const DWORD pos = GetMessagePos();
  MSG msg{hwnd_,
          message,
          wParam,
          lParam,
          static_cast<DWORD>(GetMessageTime()),
          POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)}};
  SendMessageW(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

LRESULT HyperLinkControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // The tooltip sees the mouse through the control itself, so that it
  // works in any dialog, whatever its message loop.
  RelayToToolTip(message, wParam, lParam);
  switch (message) {
    case WM_SETCURSOR:
      if (handCursor_ == nullptr) break;
      SetCursor(handCursor_);
      return TRUE;
    case WM_MOUSEMOVE: {
      const LRESULT result = DefSubclassProc(hwnd_, message, wParam, lParam);
      OnMouseMove(lParam);
      return result;
    }
    case WM_CAPTURECHANGED:
      // Capture taken by another window (a menu, a message box): the
      // moves that would end the hover no longer come here.
      if (reinterpret_cast<HWND>(lParam) != hwnd_) ApplyHoverChange(link_.OnCaptureLost());
      break;
    case WM_NCDESTROY: {
      HWND hwnd = hwnd_;
      Detach(true);
      return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    default: break;
  }
  return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK HyperLinkControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR self) {
  auto* control = reinterpret_cast<HyperLinkControl*>(self);
  if (control == nullptr || control->hwnd_ != hwnd) return DefSubclassProc(hwnd, message, wParam, lParam);
  return control->WindowProc(message, wParam, lParam);
}

void HyperLinkControl::Detach(bool destroying) {
  if (hwnd_ == nullptr) return;
  HWND hwnd = hwnd_;
  RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
  hwnd_ = nullptr;
  link_.OnCaptureLost();
  if (GetCapture() == hwnd) ReleaseCapture();
  if (toolTip_ != nullptr) {
    DestroyWindow(toolTip_);
    toolTip_ = nullptr;
  }
  // A control that outlives its link gets its own font back before the
  // link's font is deleted.
  if (!destroying && IsWindow(hwnd) && linkFont_ != nullptr &&
      reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)) == linkFont_) {
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(originalFont_), FALSE);
  }
}

}  // namespace plotsend::win32
