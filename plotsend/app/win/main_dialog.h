#pragma once
// The main window of Plotsend.exe: dialog template 102 as the host of the
// dialog's logic (CPlotsendDlg). Before each handler the controls are
// fetched into the logic's fields and after it the fields are put back.
// Worker threads reach the window only through PendingUpdates and posted
// messages, so they never wait for the user-interface thread.
#include <windows.h>

// windows.h turns MessageBox into MessageBoxW; the host's MessageBox is
// DialogHost's own.
#undef MessageBox

#include <atomic>
#include <memory>

#include "app/dialog_host.h"
#include "app/plotsend_dlg.h"
#include "app/win/pending_updates.h"
#include "app/win/preview_bitmap.h"
#include "app/win/progress_dialog.h"
#include "ui/win32/dialog_window.h"

namespace plotsend::win32 {

inline constexpr int kMainDialogTemplate = 102;
inline constexpr int kIconId = 128;
inline constexpr int kPreviewFrame = 1038;
inline constexpr int kAboutButton = 1024;
inline constexpr int kOriginOffsetX = 1040;
inline constexpr int kOriginOffsetY = 1041;
// The socket notification message, consumed before dispatch.
inline constexpr UINT WM_SOCKET_NOTIFY = 10000;
// The About command of the system menu (the range 16..31 opens the box).
inline constexpr UINT kAboutCommand = 0x0010;
// Posted by a worker when PendingUpdates holds something to show.
inline constexpr UINT WM_APPLY_PENDING = WM_APP + 1;

class MainDialog final : public DialogWindow, public DialogHost {
 public:
  MainDialog(ProfilePort& profile, LinkPort& link, WorkDir workDir, Language language);
  ~MainDialog() override;

  // DialogHost. SetStatusText, SetProgressRange, StepProgress,
  // PostDialogMessage and MessageBox may be called from a worker thread.
  void MessageBox(const std::string& text, MessageKind kind) override;
  void EnableControl(int id, bool enabled) override;
  void SetStatusText(const std::string& text) override;
  std::optional<std::string> ChooseSavePath(const std::string& proposedName) override;
  void EndDialog(int result) override;
  void FillPortList(const std::vector<std::string>& entries, int selected) override;
  void SetProgressRange(uint32_t range) override;
  void StepProgress() override;
  bool AskOkCancel(const std::string& text) override;
  void RunAlignment(CIntersectAlignement& alignment) override;
  void Pause(int milliseconds) override;
  void ShowWaitAnimation(bool shown) override;
  void PostDialogMessage(unsigned message) override;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnDestroy() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  bool PreTranslateMessage(MSG& msg) override;

 private:
  // Initialisation.
  void SetIcons();
  void AddAboutToSystemMenu();
  void SetLanguageTexts();

  // Controls <-> fields. Fetch returns the first control whose text is no
  // value of its field, or a number outside its range (that field keeps its
  // value), or 0. Put leaves the
  // control `keep` as the user typed it.
  int Fetch();
  void Put(int keep = 0);
  void PutReal(int id, double value, int keep);
  void PutInteger(int id, int64_t value, int keep);
  // Beeps and puts the caret into the control whose text is no value; a
  // number outside the field's range is named in the status field.
  void RejectInput(int id);

  // Handlers.
  void OnPortSelChanged();
  void OnSectionChanged(int id);
  void OnFieldHandler(void (CPlotsendDlg::*handler)());
  void OnStartClicked();
  void OnUDiskFileClicked();
  void OnWifiTestClicked();
  void OnCloseButton();
  void OnWorkerMessage(UINT message);

  // Painting.
  bool PaintMinimised();
  void RenderPreview();
  void DrawPreviewFrame(const DRAWITEMSTRUCT& item);

  // Worker hand-over.
  bool OnUiThread() const { return GetCurrentThreadId() == uiThread_; }
  void AfterStore(bool wakeUp);
  void ApplyPending();

  PendingUpdates pending_;
  std::atomic<HWND> window_ = nullptr;  // read by the workers
  DWORD uiThread_ = GetCurrentThreadId();
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool putting_ = false;  // EN_CHANGE of our own puts is not the user's
  PreviewBitmap preview_;
  std::unique_ptr<DoPltFileProgress> progress_;
  // Last: its destructor joins the workers, which still use the members above.
  CPlotsendDlg dlg_;
};

}  // namespace plotsend::win32
