// The alignment dialog driven through its message loop: keys and clicks are
// posted to its controls once it is up, as a user's input would arrive.
#include "ui/win32/alignment_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/win32/dialog_window.h"

namespace plotsend::win32 {
namespace {

namespace ids = alignment_control;

constexpr int32_t kSpan = 4000;
constexpr UINT_PTR kWatchdogMs = 10000;
constexpr const char* kNotUp = "the dialog never came up (it needs a display)";

// What the dialog showed when each head command went out.
struct Sent {
  std::string bytes, pos, x, y;
};

std::string Text(HWND dialog, int id) {
  wchar_t buffer[64] = {};
  GetDlgItemTextW(dialog, id, buffer, 64);
  return Narrow(buffer);
}

// The script runs from a thread timer in the dialog's own loop, once the
// dialog exists; the watchdog cancels a dialog that does not end.
struct Session {
  static Session* current;
  std::function<void(HWND)> script;
  std::vector<Sent> sent;
  HWND dialog = nullptr;
  bool scriptRan = false;
  bool watchdogFired = false;
  UINT_PTR start = 0, watchdog = 0;

  static void CALLBACK OnStart(HWND, UINT, UINT_PTR, DWORD) {
    Session& s = *current;
    HWND dialog = FindWindowW(L"#32770", L"Intersect Alignement");
    if (dialog == nullptr) return;  // not up yet: next tick
    KillTimer(nullptr, s.start);
    s.dialog = dialog;
    s.scriptRan = true;
    s.script(dialog);
  }

  static void CALLBACK OnWatchdog(HWND, UINT, UINT_PTR, DWORD) {
    Session& s = *current;
    KillTimer(nullptr, s.watchdog);
    s.watchdogFired = true;
    if (HWND dialog = FindWindowW(L"#32770", L"Intersect Alignement")) {
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
  }

  // Runs the dialog over `alignment`, whose sender must record into `sent`.
  void Run(CIntersectAlignement& alignment, HWND owner = nullptr) {
    current = this;
    start = SetTimer(nullptr, 0, 20, OnStart);
    watchdog = SetTimer(nullptr, 0, kWatchdogMs, OnWatchdog);
    RunAlignmentDialog(owner, alignment);
    KillTimer(nullptr, start);
    KillTimer(nullptr, watchdog);
    current = nullptr;
  }

  // The first command goes out from WM_INITDIALOG, before the script has
  // the dialog: it is looked up each time.
  HeadSender Sender() {
    return [this](std::string_view bytes) {
      HWND d = FindWindowW(L"#32770", L"Intersect Alignement");
      sent.push_back({std::string(bytes), Text(d, ids::kPos), Text(d, ids::kX), Text(d, ids::kY)});
    };
  }
};
Session* Session::current = nullptr;

void Key(HWND target, WPARAM key, bool repeat = false) {
  const LPARAM lParam = 1 | (repeat ? LPARAM{1} << 30 : 0);
  PostMessageW(target, WM_KEYDOWN, key, lParam);
  PostMessageW(target, WM_KEYUP, key, lParam | LPARAM{3} << 30);
}

void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::vector<std::string> Bytes(const std::vector<Sent>& sent) {
  std::vector<std::string> out;
  for (const Sent& s : sent) out.push_back(s.bytes);
  return out;
}

// The same steps taken on the logic alone give the commands and marks the
// dialog must give.
struct Expected {
  std::vector<std::string> sent;
  CIntersectAlignement logic{[this](std::string_view b) { sent.emplace_back(b); }, kSpan, kSpan};
  Expected() { logic.OnInitDialog(); }
};

TEST(AlignmentDialog, ArrowKeysJogAndEnterConfirmsEachMarkWhicheverControlHasTheFocus) {
  Session session;
  CIntersectAlignement alignment(session.Sender(), kSpan, kSpan);
  std::string comboEntries;
  session.script = [&](HWND dialog) {
    const LRESULT count = SendDlgItemMessageW(dialog, ids::kStep, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t entry[32] = {};
      SendDlgItemMessageW(dialog, ids::kStep, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
      comboEntries += Narrow(entry) + ";";
    }
    comboEntries += std::to_string(SendDlgItemMessageW(dialog, ids::kStep, CB_GETCURSEL, 0, 0));
    Key(GetDlgItem(dialog, ids::kStep), VK_LEFT);  // "+ X", not the combo's next entry
    Key(GetDlgItem(dialog, ids::kX), VK_LEFT);
    Key(GetDlgItem(dialog, IDCANCEL), VK_RIGHT);
    Key(dialog, VK_UP);
    Key(GetDlgItem(dialog, ids::kPlusX), VK_DOWN);
    Key(GetDlgItem(dialog, ids::kPlusX), VK_DOWN);
    for (int mark = 0; mark < 4; ++mark) Key(GetDlgItem(dialog, IDCANCEL), VK_RETURN);
  };
  session.Run(alignment);
  ASSERT_TRUE(session.scriptRan) << kNotUp;
  EXPECT_FALSE(session.watchdogFired) << "the fourth Ok did not end the dialog";
  EXPECT_EQ(comboEntries, "0.1 mm;0.5 mm;1");

  Expected want;
  using K = CIntersectAlignement::Key;
  for (K key : {K::Left, K::Left, K::Right, K::Up, K::Down, K::Down, K::Enter, K::Enter, K::Enter, K::Enter}) {
    want.logic.OnKey(key);
  }
  EXPECT_EQ(Bytes(session.sent), want.sent);
  EXPECT_FALSE(alignment.Cancelled());
  EXPECT_EQ(alignment.Result(), want.logic.Result());
  EXPECT_EQ(alignment.Result()[0], 420);  // P1 after two "+ X", one "- X"
  EXPECT_EQ(alignment.Result()[1], 380);  // and one "+ Y", two "- Y"
  ASSERT_EQ(session.sent.size(), 11u);
  EXPECT_EQ(session.sent[0].bytes, "TKN;U0,0;>U400,400;");
  EXPECT_EQ(session.sent[0].pos, "POS 1");
  EXPECT_EQ(session.sent[0].x, "X=10.00");
  EXPECT_EQ(session.sent[1].x, "X=10.50");
  EXPECT_EQ(session.sent[6].y, "Y=9.50");
  EXPECT_EQ(session.sent[7].pos, "POS 2");  // after the first Ok
}

TEST(AlignmentDialog, ButtonsAndTheFineStep) {
  Session session;
  CIntersectAlignement alignment(session.Sender(), kSpan, kSpan);
  session.script = [&](HWND dialog) {
    SendDlgItemMessageW(dialog, ids::kStep, CB_SETCURSEL, 0, 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ids::kStep, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, ids::kStep)));
    Click(dialog, ids::kPlusX);
    Click(dialog, ids::kPlusY);
    Click(dialog, ids::kMinusX);
    Click(dialog, ids::kMinusX);
    Click(dialog, ids::kMinusY);
    for (int mark = 0; mark < 4; ++mark) Click(dialog, ids::kOk);
  };
  session.Run(alignment);
  ASSERT_TRUE(session.scriptRan) << kNotUp;
  EXPECT_FALSE(session.watchdogFired);
  Expected want;
  want.logic.OnStepSelected(0);
  want.logic.OnPlusX();
  want.logic.OnPlusY();
  want.logic.OnMinusX();
  want.logic.OnMinusX();
  want.logic.OnMinusY();
  for (int mark = 0; mark < 4; ++mark) want.logic.OnOk();
  EXPECT_EQ(Bytes(session.sent), want.sent);
  EXPECT_EQ(alignment.Result(), want.logic.Result());
  EXPECT_EQ(alignment.Result()[0], 396);  // steps of 4 units
  ASSERT_GE(session.sent.size(), 2u);
  EXPECT_EQ(session.sent[1].x, "X=10.10");
  EXPECT_FALSE(alignment.Cancelled());
}

TEST(AlignmentDialog, EscCancelAndTheCloseBoxEachCancel) {
  const std::vector<std::function<void(HWND)>> ways = {
      [](HWND dialog) { Key(GetDlgItem(dialog, ids::kOk), VK_ESCAPE); },
      [](HWND dialog) { Click(dialog, IDCANCEL); },
      [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
  };
  for (size_t i = 0; i < ways.size(); ++i) {
    SCOPED_TRACE(i);
    Session session;
    CIntersectAlignement alignment(session.Sender(), kSpan, kSpan);
    session.script = [&](HWND dialog) {
      Key(dialog, VK_RETURN);  // the first mark, then the way out
      ways[i](dialog);
    };
    session.Run(alignment);
    ASSERT_TRUE(session.scriptRan) << kNotUp;
    EXPECT_FALSE(session.watchdogFired);
    EXPECT_TRUE(alignment.Cancelled());
    EXPECT_EQ(alignment.Pos(), 2);
    EXPECT_EQ(session.sent.size(), 2u);
  }
}

TEST(AlignmentDialog, AnOpenStepListKeepsItsKeys) {
  Session session;
  CIntersectAlignement alignment(session.Sender(), kSpan, kSpan);
  session.script = [&](HWND dialog) {
    HWND combo = GetDlgItem(dialog, ids::kStep);
    SetFocus(combo);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Key(combo, VK_UP);      // the fine step, not "+ Y"
    Key(combo, VK_RETURN);  // closes the list, confirms no mark
    Click(dialog, ids::kPlusX);
    Click(dialog, IDCANCEL);
  };
  session.Run(alignment);
  ASSERT_TRUE(session.scriptRan) << kNotUp;
  EXPECT_EQ(alignment.Pos(), 1);
  EXPECT_EQ(alignment.Y(), 400);
  EXPECT_EQ(alignment.X(), 404);
  EXPECT_EQ(session.sent.size(), 2u);
}

TEST(AlignmentDialog, AHeldEnterConfirmsOneMark) {
  Session session;
  CIntersectAlignement alignment(session.Sender(), kSpan, kSpan);
  session.script = [&](HWND dialog) {
    Key(dialog, VK_RETURN);
    for (int i = 0; i < 5; ++i) Key(dialog, VK_RETURN, true);  // auto-repeat
    Click(dialog, IDCANCEL);
  };
  session.Run(alignment);
  ASSERT_TRUE(session.scriptRan) << kNotUp;
  EXPECT_EQ(alignment.Pos(), 2);
  EXPECT_TRUE(alignment.Cancelled());
}

TEST(AlignmentDialog, TheOwnerIsDisabledMeanwhileAndEnabledAfter) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  Session session;
  CIntersectAlignement alignment(session.Sender(), kSpan, kSpan);
  bool ownerDisabled = false;
  session.script = [&](HWND dialog) {
    ownerDisabled = !IsWindowEnabled(owner) && GetWindow(dialog, GW_OWNER) == owner;
    Click(dialog, IDCANCEL);
  };
  session.Run(alignment, owner);
  EXPECT_TRUE(session.scriptRan) << kNotUp;
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);
}

}  // namespace
}  // namespace plotsend::win32
