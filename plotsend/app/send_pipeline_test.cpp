// The main dialog from Start to the end of a send, over a recording link:
// the port list, opening the link, the mark alignment and origin command,
// the bytes that reach the cutter, failures, Cancel and closing mid-send.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "app/dialog_test_support.h"
#include "app/plotsend_dlg.h"
#include "app/scratch_dir_test_util.h"
#include "link/fake_link.h"

namespace plotsend {
namespace {

const char* const kSquare = "IN;PU0,0;PD400,0,400,400,0,400,0,0;PU0,0;@";

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

class SendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    link.SetSerialPorts({"COM1", "COM3"});
    Job("8000,4800,400,3,1", kSquare);
  }
  void Job(std::string_view markref, std::string_view plt) {
    WriteTestFile(dir.File("kavren.plt"), plt);
    WriteTestFile(dir.File("markref.kv"), markref);
  }
  // The dialog up to Ready, with port list entry `port` selected.
  CPlotsendDlg& Ready(int port) {
    profile.values["config/portsel_i"] = std::to_string(port);
    dlg = std::make_unique<CPlotsendDlg>(host, profile, link, WorkDir(dir.Dir()), Language::English);
    dlg->Initialise();
    dlg->StartPrepareJob();
    const auto m = host.WaitMessage();
    EXPECT_EQ(m, control::WM_JOB_PREPARED);
    dlg->OnMessage(*m);
    EXPECT_TRUE(dlg->JobReady());
    return *dlg;
  }
  // Start, remembering the command file, then the end of the send.
  std::string StartAndFinish() {
    EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Sending);
    const std::string kv3 = ReadTestFile(dir.File("kavren.kv3"));
    const auto m = host.WaitMessage();
    EXPECT_EQ(m, control::WM_SEND_FINISHED);
    if (m) dlg->OnMessage(*m);
    return kv3;
  }
  SocketHandle Socket() const { return dlg->GetLinkState().TcpSocket; }
  // What went out on the socket of the last connect.
  std::string SentOnLastSocket() const {
    uintptr_t socket = 0;
    for (const auto& call : link.Calls()) {
      if (call.kind == FakeLink::CallKind::Connect) socket = call.handle;
    }
    return Bytes(link.Sent(SocketHandle{socket}));
  }

  ScratchDir dir;
  FakeHost host;
  MapProfile profile;
  FakeLink link;
  std::unique_ptr<CPlotsendDlg> dlg;
};

TEST_F(SendTest, PortListAndSelection) {
  UsbEnumeration usb;
  usb.paths = {"/dev/usb/lp0"};
  link.SetUsbCutters(usb);
  Ready(3);
  EXPECT_EQ(host.portList, (std::vector<std::string>{"USB_0", "COM1", "COM3", "TCP/IP"}));
  EXPECT_EQ(host.portSelected, 3);
  EXPECT_TRUE(host.enabledState[control::kIpAddress]);
  EXPECT_TRUE(host.enabledState[control::kWifiTest]);
  EXPECT_FALSE(host.enabledState[control::kCancel]);
  EXPECT_EQ(host.StatusTexts().front(), "port closed");

  dlg->Fields().settings.PortSel_i = 1;
  dlg->OnPortSelChanged();
  EXPECT_FALSE(host.enabledState[control::kIpAddress]);
  EXPECT_FALSE(host.enabledState[control::kDefaultIp]);
  EXPECT_EQ(profile.values["config/portsel_i"], "1");  // saved at once
}

TEST_F(SendTest, ASelectionBeyondTheListSelectsTheFirstEntry) {
  Ready(5);
  EXPECT_EQ(host.portList, (std::vector<std::string>{"COM1", "COM3", "TCP/IP"}));
  EXPECT_EQ(host.portSelected, 0);
  EXPECT_FALSE(host.enabledState[control::kIpAddress]);
  EXPECT_EQ(dlg->SelectedPort(), "COM1");
}

TEST_F(SendTest, TcpStartSendsTheCommandFileAndEndsTheJob) {
  Ready(2);
  dlg->Fields().settings.IP_FIELD = {127, 0, 0, 1};
  dlg->Fields().settings.IP_PORT = 9101;
  const std::string kv3 = StartAndFinish();
  ASSERT_GT(kv3.size(), 100u);
  EXPECT_EQ(kv3.back(), '@');
  EXPECT_EQ(link.LastPort(), 9101);
  EXPECT_EQ(link.LastAddress().field[0], 127);
  EXPECT_EQ(SentOnLastSocket(), kv3);
  // Chunks of 99 bytes, every one of them sent whole.
  for (const auto& call : link.Calls()) {
    if (call.kind == FakeLink::CallKind::Send) {
      EXPECT_LE(call.bytes.size(), 99u);
    }
  }
  EXPECT_EQ(host.progressRange, (kv3.size() >> 10) + 1);
  EXPECT_EQ(host.endResult, control::kIdOk);
  EXPECT_FALSE(TestFileExists(dir.File("kavren.plt")));
  EXPECT_FALSE(TestFileExists(dir.File("kavren.kv3")));
  EXPECT_EQ(link.OpenSockets(), 0u);
  EXPECT_EQ(link.BadCloses(), 0u);
  EXPECT_FALSE(dlg->LastSendFailed());
  const std::vector<std::string> status = host.StatusTexts();
  EXPECT_EQ(status.back(), std::to_string((kv3.size() + 98) / 99 * 99));
}

TEST_F(SendTest, ATcpConnectThatFailsStopsSilently) {
  Ready(2);
  link.SetConnectSucceeds(false);
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Stopped);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_FALSE(TestFileExists(dir.File("kavren.kv3")));
  EXPECT_TRUE(TestFileExists(dir.File("kavren.plt")));
}

TEST_F(SendTest, AChunkThatCannotBeWrittenKeepsTheJobForAnotherStart) {
  Ready(2);
  link.FailWrite(3);
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Sending);
  const auto m = host.WaitMessage();
  ASSERT_EQ(m, control::WM_SEND_FINISHED);
  dlg->OnMessage(*m);
  EXPECT_TRUE(dlg->LastSendFailed());
  EXPECT_EQ(host.StatusTexts().back(), "send failed");
  EXPECT_EQ(host.errors,
            std::vector<std::string>{
                "The job was not completely sent to the cutter; its files are kept and it can be sent again"});
  EXPECT_EQ(host.endResult, 0);
  EXPECT_TRUE(TestFileExists(dir.File("kavren.plt")));
  EXPECT_TRUE(TestFileExists(dir.File("kavren.kv3")));
  EXPECT_TRUE(host.enabledState[control::kStart]);
  EXPECT_FALSE(host.enabledState[control::kCancel]);
  EXPECT_TRUE(host.enabledState[control::kClose]);

  // The second Start connects afresh (closing the first socket) and sends it all.
  const std::string kv3 = StartAndFinish();
  EXPECT_EQ(SentOnLastSocket(), kv3);
  EXPECT_FALSE(dlg->LastSendFailed());
  EXPECT_EQ(host.endResult, control::kIdOk);
  EXPECT_EQ(link.OpenSockets(), 0u);
  EXPECT_EQ(link.CallCount(FakeLink::CallKind::Connect), 2u);
  EXPECT_EQ(link.CallCount(FakeLink::CallKind::CloseTcp), 2u);
}

TEST_F(SendTest, SerialPortsOpenCloseAndReportFailures) {
  link.FailOpen("COM1");
  Ready(0);
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Stopped);
  EXPECT_EQ(host.StatusTexts().back(), "open port fail!");
  EXPECT_EQ(link.OpenDevices(), 0u);

  dlg->Fields().settings.PortSel_i = 1;  // COM3
  dlg->OnPortSelChanged();
  link.FailWrite(1);  // the first chunk fails: the port stays open for the next Start
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Sending);
  const auto m = host.WaitMessage();
  dlg->OnMessage(*m);
  EXPECT_TRUE(dlg->LastSendFailed());
  EXPECT_EQ(link.OpenDevices(), 1u);
  // Start again on the same port: the first handle is closed before the new open.
  auto closedTexts = [this] {
    const auto status = host.StatusTexts();
    return std::count(status.begin(), status.end(), "port closed");
  };
  const auto closedBefore = closedTexts();
  const std::string kv3 = StartAndFinish();
  EXPECT_EQ(closedTexts(), closedBefore + 1);
  EXPECT_FALSE(dlg->LastSendFailed());
  EXPECT_EQ(link.CallCount(FakeLink::CallKind::OpenSerial), 3u);
  EXPECT_EQ(link.OpenDevices(), 0u);
  EXPECT_EQ(link.BadCloses(), 0u);
}

TEST_F(SendTest, UsbOpenFailureIsReported) {
  UsbEnumeration usb;
  usb.paths = {"/dev/usb/lp0"};
  link.SetUsbCutters(usb);
  link.FailOpen("/dev/usb/lp0");
  Ready(0);
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Stopped);
  EXPECT_EQ(host.StatusTexts().back(), "open USB port fail!");
  // The next attempt reports the port closed first, as after any USB open.
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Stopped);
  const auto status = host.StatusTexts();
  EXPECT_EQ(status[status.size() - 2], "port closed");
}

TEST_F(SendTest, FourMarksAlignThenTheOriginCommandThenTheJob) {
  Job("8000,4800,400,1,1", kSquare);
  Ready(2);
  const std::string kv3 = StartAndFinish();
  EXPECT_EQ(host.alignments, 1);
  EXPECT_EQ(host.questions, std::vector<std::string>{"Click Ok  After Press Key Origin"});
  EXPECT_EQ(host.pauses, std::vector<int>{1000});
  const std::string sent = SentOnLastSocket();
  // Head moves (opening, four predictions), "<", then the command file. The
  // spans are the mark spans plus both margins.
  std::string moves;
  FakeHost reference;
  CIntersectAlignement expected([&moves](std::string_view b) { moves += b; }, 8000 + 800, 4800 + 800);
  reference.RunAlignment(expected);
  ASSERT_TRUE(moves.starts_with("TKN;U0,0;>U400,400;U7000,400;"));  // 6000 goes out as 7000
  EXPECT_EQ(sent, moves + "<" + kv3);
}

TEST_F(SendTest, CancelAtTheOriginPromptSendsNeitherOriginNorJob) {
  Job("8000,4800,400,1,1", kSquare);
  Ready(2);
  host.answerOk = false;
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Stopped);
  const std::string sent = Bytes(link.Sent(Socket()));
  EXPECT_EQ(sent.find('<'), std::string::npos);
  EXPECT_TRUE(sent.starts_with("TKN;"));
  EXPECT_FALSE(TestFileExists(dir.File("kavren.kv3")));
  EXPECT_EQ(host.enabledState.count(control::kStart), 0u);  // Start was never disabled
  EXPECT_EQ(link.OpenSockets(), 1u);                        // the link stays open
  EXPECT_EQ(profile.values["config/portsel_i"], "2");       // settings were saved
  // Cancelling the alignment itself stops earlier still.
  host.alignmentScript = [](CIntersectAlignement& a) { a.OnCancel(); };
  host.questions.clear();
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Stopped);
  EXPECT_TRUE(host.questions.empty());
}

TEST_F(SendTest, CancelStopsAfterTheChunkInProgress) {
  // A job long enough for many chunks.
  std::string plt = "IN;";
  for (int i = 0; i < 400; ++i) plt += "PU" + std::to_string(i * 10) + ",0;PD" + std::to_string(i * 10) + ",500;";
  Job("8000,4800,400,3,1", plt);
  Ready(2);
  host.onStatus = [this](const std::string& text) {
    if (text == "198") dlg->OnCancel();
  };
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Sending);
  const auto m = host.WaitMessage();
  dlg->OnMessage(*m);
  EXPECT_TRUE(dlg->LastSendCancelled());
  EXPECT_EQ(SentOnLastSocket().size(), 198u);
  EXPECT_EQ(host.endResult, control::kIdOk);  // the run ends, as the user asked
  EXPECT_FALSE(TestFileExists(dir.File("kavren.plt")));
}

TEST_F(SendTest, ClosingDuringASendWaitsForItBeforeTheLinkCloses) {
  std::string plt = "IN;";
  for (int i = 0; i < 400; ++i) plt += "PU" + std::to_string(i * 10) + ",0;PD" + std::to_string(i * 10) + ",500;";
  Job("8000,4800,400,3,1", plt);
  Ready(2);
  std::mutex m;
  std::condition_variable cv;
  bool closing = false;
  host.onStatus = [&](const std::string& text) {
    if (text != "99") return;
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return closing; });  // the send is held after its first chunk
  };
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Sending);
  std::thread window([this] { dlg->OnDestroy(); });  // cancels, then waits for the send
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  {
    std::lock_guard lock(m);
    closing = true;
  }
  cv.notify_all();
  window.join();
  EXPECT_FALSE(dlg->Sending());
  EXPECT_EQ(link.OpenSockets(), 0u);
  EXPECT_EQ(SentOnLastSocket().size(), 99u);
  // No write reached the link after it was closed.
  const auto calls = link.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().kind, FakeLink::CallKind::CloseTcp);
  // The send's end message, still queued, finds nothing more to end.
  const auto late = host.WaitMessage();
  ASSERT_EQ(late, control::WM_SEND_FINISHED);
  dlg->OnMessage(*late);
  EXPECT_EQ(host.endResult, 0);
  EXPECT_EQ(link.CallCount(FakeLink::CallKind::CloseTcp), 1u);
  dlg.reset();
}

// How a job leaves each kind of link: its writes, the drain after the last
// one, and the close.
struct LinkEnd {
  int port;  // the port list entry: COM1 or TCP/IP
  FakeLink::CallKind write, drain, abort, close;
};
class LinkEndTest : public SendTest, public ::testing::WithParamInterface<LinkEnd> {
 protected:
  // The position of the last call of `kind`, or -1.
  static int LastCall(const std::vector<FakeLink::Call>& calls, FakeLink::CallKind kind) {
    for (size_t i = calls.size(); i-- > 0;) {
      if (calls[i].kind == kind) return static_cast<int>(i);
    }
    return -1;
  }
};
using Kind = FakeLink::CallKind;
INSTANTIATE_TEST_SUITE_P(Links, LinkEndTest,
                         ::testing::Values(LinkEnd{0, Kind::WriteBlocking, Kind::DrainPort, Kind::AbortPortIo,
                                                   Kind::ClosePort},
                                           LinkEnd{2, Kind::Send, Kind::FinishTcp, Kind::AbortTcpIo, Kind::CloseTcp}));

// The send is complete only once the link has handed the job's tail to the
// cutter: the drain runs after the last chunk and before the link closes; a
// drain that fails keeps the job, as a chunk that fails does.
TEST_P(LinkEndTest, TheJobEndsOnlyOnceItsTailHasLeftTheLink) {
  const LinkEnd c = GetParam();
  Ready(c.port);
  link.SetDrainMode(FakeLink::DrainMode::Fail);
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Sending);
  const auto m = host.WaitMessage();
  ASSERT_EQ(m, control::WM_SEND_FINISHED);
  dlg->OnMessage(*m);
  EXPECT_TRUE(dlg->LastSendFailed());
  EXPECT_EQ(host.StatusTexts().back(), "send failed");
  EXPECT_EQ(host.errors,
            std::vector<std::string>{
                "The job was not completely sent to the cutter; its files are kept and it can be sent again"});
  EXPECT_EQ(host.endResult, 0);
  EXPECT_TRUE(TestFileExists(dir.File("kavren.plt")));
  EXPECT_TRUE(host.enabledState[control::kStart]);

  link.SetDrainMode(FakeLink::DrainMode::Succeed);
  StartAndFinish();
  EXPECT_FALSE(dlg->LastSendFailed());
  EXPECT_EQ(host.endResult, control::kIdOk);
  EXPECT_FALSE(TestFileExists(dir.File("kavren.plt")));
  const auto calls = link.Calls();
  EXPECT_LT(LastCall(calls, c.write), LastCall(calls, c.drain));
  EXPECT_LT(LastCall(calls, c.drain), LastCall(calls, c.close));
  EXPECT_EQ(link.CallCount(c.drain), 2u);
}

// Closing the window while the link stalls, in a write or in the drain,
// aborts the link's I/O, so the close does not wait for a time-out; the link
// is closed only after the send has ended. Cancel stops a stalled drain too
// (a stalled write it leaves to the write's time-out, as any chunk).
TEST_P(LinkEndTest, ClosingOrCancellingDuringAStalledSendDoesNotWaitForIt) {
  const LinkEnd c = GetParam();
  for (const bool inDrain : {false, true}) {
    for (const bool cancel : {false, true}) {
      if (cancel && !inDrain) continue;
      SCOPED_TRACE(std::string(cancel ? "cancelled" : "closed") + (inDrain ? " in the drain" : " in a write"));
      Job("8000,4800,400,3,1", kSquare);
      Ready(c.port);
      host.endResult = 0;
      if (inDrain) {
        link.SetDrainMode(FakeLink::DrainMode::Stall);
      } else {
        link.StallNextWrite();
      }
      EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Sending);
      const auto start = std::chrono::steady_clock::now();
      while (!link.Stalled() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      ASSERT_TRUE(link.Stalled());
      const auto stopping = std::chrono::steady_clock::now();
      if (cancel) {
        dlg->OnCancel();
        const auto m = host.WaitMessage();
        ASSERT_EQ(m, control::WM_SEND_FINISHED);
        dlg->OnMessage(*m);
        EXPECT_TRUE(dlg->LastSendCancelled());
        EXPECT_EQ(host.endResult, control::kIdOk);
        EXPECT_FALSE(TestFileExists(dir.File("kavren.plt")));
      } else {
        dlg->OnDestroy();
      }
      // A stall of the recording link lasts 10 s unless aborted.
      EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(3));
      EXPECT_FALSE(dlg->Sending());
      const auto calls = link.Calls();
      EXPECT_LT(LastCall(calls, c.abort), LastCall(calls, c.close));
      EXPECT_EQ(calls.back().kind, c.close);
      link.SetDrainMode(FakeLink::DrainMode::Succeed);
      if (!cancel) {
        const auto late = host.WaitMessage();
        ASSERT_EQ(late, control::WM_SEND_FINISHED);
        dlg->OnMessage(*late);
        EXPECT_EQ(host.endResult, 0);
      }
      dlg.reset();
    }
  }
  EXPECT_EQ(link.OpenDevices() + link.OpenSockets(), 0u);
}

TEST_F(SendTest, WifiTestAndDefaultIp) {
  Ready(2);
  dlg->OnDefaultIp();
  EXPECT_EQ(dlg->Fields().settings.IP_FIELD, (std::array<uint8_t, 4>{192, 168, 0, 233}));
  EXPECT_EQ(dlg->Fields().settings.IP_PORT, 9100);
  dlg->Fields().settings.IP_FIELD = {127, 0, 0, 1};
  for (int i = 0; i < 3; ++i) dlg->OnWifiTest();
  EXPECT_EQ(host.StatusTexts().back(), "Wifi Log On Ok");
  EXPECT_EQ(link.OpenSockets(), 1u);  // each test closed the socket of the one before
  link.SetConnectSucceeds(false);
  dlg->OnWifiTest();
  EXPECT_EQ(host.StatusTexts().back(), "Wifi Log On Fail");
  EXPECT_EQ(link.OpenSockets(), 0u);
}

TEST_F(SendTest, ASocketClosedByTheCutterIsReported) {
  Ready(2);
  dlg->OnWifiTest();
  dlg->OnSocketNotify(control::kSocketRead);
  EXPECT_EQ(link.CallCount(FakeLink::CallKind::Receive), 1u);
  dlg->OnSocketNotify(control::kSocketClose);
  EXPECT_EQ(host.infos, std::vector<std::string>{"Tcp/ip Port Disconnect"});
  EXPECT_EQ(link.OpenSockets(), 0u);
  EXPECT_FALSE(dlg->GetLinkState().TcpConnected);
}

// U Disk File waits for the workers: the preparing one writes the job's
// files, the sending one reads the command file.
TEST_F(SendTest, UDiskFileWaitsForTheWorkers) {
  profile.values["config/portsel_i"] = "2";
  host.answer = dir.File("out.plt");
  dlg = std::make_unique<CPlotsendDlg>(host, profile, link, WorkDir(dir.Dir()), Language::English);
  dlg->Initialise();
  EXPECT_EQ(dlg->CanOutput(), CPlotsendDlg::JobOutput::NotPrepared);
  dlg->StartPrepareJob();
  EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Stopped);
  ASSERT_EQ(host.WaitMessage(), control::WM_JOB_PREPARED);
  dlg->OnMessage(control::WM_JOB_PREPARED);
  EXPECT_EQ(dlg->CanOutput(), CPlotsendDlg::JobOutput::Ready);
  ASSERT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Sending);
  EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Stopped);
  ASSERT_EQ(host.WaitMessage(), control::WM_SEND_FINISHED);
  dlg->OnMessage(control::WM_SEND_FINISHED);
  EXPECT_TRUE(host.proposed.empty());  // no save dialog was shown
  EXPECT_FALSE(TestFileExists(dir.File("out.plt")));
}

// The window reads its controls into the fields at every click, also while
// the job is prepared. The preparation keeps the fields it started with;
// the output takes them as they are by then.
TEST_F(SendTest, FieldsChangedWhileTheJobIsPreparedReachOnlyTheOutput) {
  profile.values["config/portsel_i"] = "2";
  dlg = std::make_unique<CPlotsendDlg>(host, profile, link, WorkDir(dir.Dir()), Language::English);
  dlg->Initialise();
  dlg->StartPrepareJob();
  dlg->Fields().settings.SortPaths = 1;
  dlg->Fields().settings.IsDashedLine = 1;
  dlg->OnDashedLineClicked();
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Stopped);
  ASSERT_EQ(host.WaitMessage(), control::WM_JOB_PREPARED);
  dlg->OnMessage(control::WM_JOB_PREPARED);
  EXPECT_FALSE(dlg->OrderStats());  // prepared as drawn

  const std::string kv3 = StartAndFinish();
  EXPECT_TRUE(dlg->OrderStats());
  EXPECT_FALSE(dlg->LastOutputCompensated());
  EXPECT_EQ(SentOnLastSocket(), kv3);
}

TEST_F(SendTest, ACodedJobCannotBeStarted) {
  WriteTestFile(dir.File("codeinfo.kv"), "1,1,");
  WriteTestFile(dir.File("codenumble.kv"), "17");
  Ready(2);
  EXPECT_FALSE(host.enabledState[control::kStart]);
  EXPECT_EQ(dlg->OnStart(), CPlotsendDlg::StartResult::Stopped);
  EXPECT_EQ(link.CallCount(FakeLink::CallKind::Connect), 0u);
}

}  // namespace
}  // namespace plotsend
