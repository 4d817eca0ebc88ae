// The main window's life: initialisation, the messages that are not
// control commands, painting and destruction.
#include "app/win/main_dialog.h"

#include <utility>

#include "app/control_ids.h"
#include "app/texts.h"
#include "ui/win32/about_dialog.h"

namespace plotsend::win32 {

MainDialog::MainDialog(ProfilePort& profile, LinkPort& link, WorkDir workDir, Language language)
    : DialogWindow(kMainDialogTemplate), dlg_(*this, profile, link, std::move(workDir), language) {}

MainDialog::~MainDialog() = default;

bool MainDialog::OnInitDialog() {
  window_ = Handle();
  uiThread_ = GetCurrentThreadId();
  SetIcons();
  ShowWindow(Handle(), SW_SHOW);
  SetWindowPos(Handle(), nullptr, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetTitle(DialogTitle());
  AddAboutToSystemMenu();
  // The texts first, so that a message box of the initialisation already
  // stands over a dialog in the user's language.
  SetLanguageTexts();
  dlg_.Initialise();
  Put();
  dlg_.StartPrepareJob();
  return true;
}

// The application icon may be missing from the resources; the window then
// keeps the system's.
void MainDialog::SetIcons() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto load = [instance](int metricX, int metricY) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, GetSystemMetrics(metricX),
                                         GetSystemMetrics(metricY), LR_SHARED));
  };
  bigIcon_ = load(SM_CXICON, SM_CYICON);
  smallIcon_ = load(SM_CXSMICON, SM_CYSMICON);
  if (bigIcon_ != nullptr) SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  if (smallIcon_ != nullptr) SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

// "About..." in the system menu, named like the About button.
void MainDialog::AddAboutToSystemMenu() {
  HMENU menu = GetSystemMenu(Handle(), FALSE);
  if (menu == nullptr) return;
  for (const plotsend::ControlText& entry : ControlTexts(dlg_.GetLanguage())) {
    if (entry.id != kAboutButton) continue;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kAboutCommand, Widen(entry.text).c_str());
  }
}

void MainDialog::SetLanguageTexts() {
  for (const plotsend::ControlText& entry : ControlTexts(dlg_.GetLanguage())) SetControlText(entry.id, entry.text);
}

// Window destruction: a running send is cancelled and its link I/O aborted,
// so that it ends at once even on a stalled link; then the link is closed
// and the work files deleted.
void MainDialog::OnDestroy() {
  dlg_.OnDestroy();
  ApplyPending();
  progress_.reset();
  window_ = nullptr;
}

bool MainDialog::PreTranslateMessage(MSG& msg) {
  if (msg.message != WM_SOCKET_NOTIFY || msg.hwnd != Handle()) return false;
  dlg_.OnSocketNotify(LOWORD(msg.lParam));  // the event; the error code is above it
  return true;
}

void MainDialog::OnWorkerMessage(UINT message) {
  ApplyPending();  // what the worker showed before it ended comes first
  dlg_.OnMessage(message);
  if (message == control::WM_JOB_PREPARED) {
    RenderPreview();
    InvalidateRect(Control(kPreviewFrame), nullptr, FALSE);
    Put();  // the section range, which the preparation read
  }
}

bool MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
    case WM_APPLY_PENDING: ApplyPending(); return true;
    case control::WM_JOB_PREPARED:
    case control::WM_SEND_FINISHED: OnWorkerMessage(message); return true;
    case WM_SOCKET_NOTIFY:  // when another loop than ours dispatched it
      dlg_.OnSocketNotify(LOWORD(lParam));
      return true;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != kAboutCommand) return false;
      RunAboutBox(Handle());
      return true;
    case WM_PAINT: return PaintMinimised();
    case WM_QUERYDRAGICON: result = reinterpret_cast<INT_PTR>(bigIcon_); return bigIcon_ != nullptr;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (wParam != kPreviewFrame || item == nullptr) return false;
      DrawPreviewFrame(*item);
      result = TRUE;
      return true;
    }
    default: return false;
  }
}

// Minimised, the window shows the icon centred in its client area.
bool MainDialog::PaintMinimised() {
  if (!IsIconic(Handle()) || bigIcon_ == nullptr) return false;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(Handle(), &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, bigIcon_);
  EndPaint(Handle(), &ps);
  return true;
}

// Draws the prepared job once, at the frame's size, for the paints to copy.
void MainDialog::RenderPreview() {
  HWND frame = Control(kPreviewFrame);
  if (frame == nullptr || !dlg_.JobReady()) return;
  RECT client;
  GetClientRect(frame, &client);
  const JobInfo& info = dlg_.GetJobInfo();
  const PreviewData data{dlg_.PreparedJob(), info.markRef, info.CodeMode, info.CodeNumber};
  HDC screen = GetDC(frame);
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
  preview_.Render(screen, SIZE{client.right - client.left, client.bottom - client.top}, font, data);
  ReleaseDC(frame, screen);
}

// The frame is owner-drawn: an etched frame until the job is ready, then the
// preview bitmap (drawn again only when the frame's size changed, as after a
// change of the monitor's DPI).
void MainDialog::DrawPreviewFrame(const DRAWITEMSTRUCT& item) {
  const RECT& r = item.rcItem;
  const SIZE size{r.right - r.left, r.bottom - r.top};
  if (dlg_.JobReady() && !preview_.Holds(size)) RenderPreview();
  if (dlg_.JobReady() && preview_.Blit(item.hDC, POINT{r.left, r.top})) return;
  RECT frame = r;
  FillRect(item.hDC, &frame, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(item.hDC, &frame, EDGE_ETCHED, BF_RECT);
}

}  // namespace plotsend::win32
