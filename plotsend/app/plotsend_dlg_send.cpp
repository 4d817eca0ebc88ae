// The main dialog's link handlers and the send pipeline: Start, the mark
// alignment and origin command, SendJobThread and the end of a send.
#include <chrono>
#include <utility>

#include "app/control_ids.h"
#include "app/mapped_file.h"
#include "app/plotsend_dlg.h"
#include "app/send_job.h"
#include "job/decimal.h"
#include "link/port_list.h"
#include "ui/intersect_alignment.h"

namespace plotsend {
namespace {

constexpr uint8_t kOriginCommand = '<';
constexpr int kOriginWaitMs = 1000;
// How long closing lets a send end on its own (after its chunk in progress)
// before the link's I/O is aborted: a working link needs far less.
constexpr std::chrono::milliseconds kStopGrace{250};

// The send loop's progress, shown through the host from the send thread.
class HostProgress : public SendProgress {
 public:
  explicit HostProgress(DialogHost& host) : host_(host) {}
  void Start(uint32_t range) override { host_.SetProgressRange(range); }
  void Step() override { host_.StepProgress(); }
  void Count(uint64_t shown) override { host_.SetStatusText(std::to_string(shown)); }

 private:
  DialogHost& host_;
};

Ipv4Address AddressOf(const Settings& s) {
  return Ipv4Address{{s.IP_FIELD[0], s.IP_FIELD[1], s.IP_FIELD[2], s.IP_FIELD[3]}};
}

}  // namespace

CPlotsendDlg::~CPlotsendDlg() {
  StopSend();
  CloseLink(link_, linkState_);
}

void CPlotsendDlg::ListPorts() {
  std::vector<std::string> serial = link_.EnumSerialPorts();
  if (serial.size() > kMaxListedPorts) serial.resize(kMaxListedPorts);
  UsbEnumeration usb = link_.EnumUsbCutters();
  if (usb.failure == UsbEnumeration::Failure::Memory) ShowError(Text(TextId::HeapAllocFailed, language_));
  if (usb.failure == UsbEnumeration::Failure::Detail) ShowError(usb.detailError);
  usbPaths_ = std::move(usb.paths);
  if (usbPaths_.size() > kMaxListedPorts) usbPaths_.resize(kMaxListedPorts);
  portList_ = BuildPortList(usbPaths_.size(), serial);
}

size_t CPlotsendDlg::SelectedIndex() const {
  const size_t sel = fields_.settings.PortSel_i;
  return sel < portList_.size() ? sel : 0;
}

std::string CPlotsendDlg::SelectedPort() const { return portList_[SelectedIndex()]; }

void CPlotsendDlg::EnableIpControls() {
  const bool tcp = IsTcpEntry(SelectedPort());
  host_.EnableControl(control::kIpAddress, tcp);
  host_.EnableControl(control::kDefaultIp, tcp);
  host_.EnableControl(control::kWifiTest, tcp);
}

void CPlotsendDlg::OnPortSelChanged() {
  EnableIpControls();
  SaveSettings();
}

void CPlotsendDlg::OnDefaultIp() {
  fields_.settings.IP_FIELD = {192, 168, 0, 233};
  fields_.settings.IP_PORT = 9100;
}

void CPlotsendDlg::OnWifiTest() {
  const Settings& s = fields_.settings;
  const bool ok = ConnectTcp(link_, linkState_, AddressOf(s), s.IP_PORT);
  host_.SetStatusText(Text(ok ? TextId::WifiLogOnOk : TextId::WifiLogOnFail, language_));
}

void CPlotsendDlg::OnSocketNotify(int event) {
  if (!linkState_.TcpConnected) return;
  if (event == control::kSocketRead) {
    link_.ReceiveTcp(linkState_.TcpSocket);
  } else if (event == control::kSocketClose) {
    CloseTcp(link_, linkState_);
    host_.MessageBox(Text(TextId::TcpDisconnect, language_), DialogHost::MessageKind::Info);
  }
}

// Connects to the cutter, or opens the selected port. False (with the
// status text of the failure, or none for TCP) when there is no link.
bool CPlotsendDlg::OpenLink() {
  const std::string entry = SelectedPort();
  if (IsTcpEntry(entry)) {
    const Settings& s = fields_.settings;
    if (ConnectTcp(link_, linkState_, AddressOf(s), s.IP_PORT)) return true;
    linkError_ = link_.ConnectError();
    return false;
  }
  const OpenPortResult result = OpenSelectedPort(link_, linkState_, entry, usbPaths_);
  if (result.closedPrevious) host_.SetStatusText(Text(TextId::PortClosed, language_));
  switch (result.outcome) {
    case OpenPortResult::Outcome::Opened: return true;
    case OpenPortResult::Outcome::SerialFailed: host_.SetStatusText(Text(TextId::OpenPortFail, language_)); break;
    case OpenPortResult::Outcome::UsbFailed: host_.SetStatusText(Text(TextId::OpenUsbPortFail, language_)); break;
  }
  return false;
}

// The four-mark alignment, the origin prompt and the origin command. False
// when the user cancelled either.
bool CPlotsendDlg::AlignMarks() {
  const MarkRef& ref = jobInfo_.markRef;
  const LinkState link = linkState_;
  CIntersectAlignement alignment(
      [this, link](std::string_view bytes) {
        WriteLink(link_, link, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      },
      ref.SpanXWithMargins(), ref.SpanYWithMargins());
  host_.RunAlignment(alignment);
  markCorrection_ = alignment.Result();
  marksMeasured_ = true;
  if (alignment.Cancelled()) return false;
  if (!host_.AskOkCancel(Text(TextId::OriginPrompt, language_))) return false;
  WriteLinkTimed(link_, linkState_, &kOriginCommand, 1);
  host_.Pause(kOriginWaitMs);
  return true;
}

CPlotsendDlg::StartResult CPlotsendDlg::OnStart() {
  // A coded job can only be written to a file; Start is disabled for it.
  if (!jobReady_ || sending_ || jobInfo_.CodeMode != 0) return StartResult::Stopped;
  if (!AwaitWorkFiles()) {  // told before the link is opened or the marks measured
    ShowOutputFailure(workDir_.KavrenKv(3));
    return StartResult::Failed;
  }
  linkError_.clear();
  if (!OpenLink()) return StartResult::Stopped;
  SaveSettings();
  if (jobInfo_.markRef.NeedsAlignment() && !AlignMarks()) return StartResult::Stopped;

  cancelFlag_ = false;
  host_.EnableControl(control::kCancel, true);
  host_.EnableControl(control::kStart, false);
  host_.EnableControl(control::kClose, false);
  host_.EnableControl(control::kUDiskFile, false);
  ComputeEffectiveCompensation();
  lastSendFailed_ = false;
  if (!GenerateOutput(workDir_.KavrenKv(3))) {
    lastSendFailed_ = true;
    ShowOutputFailure(workDir_.KavrenKv(3));
    ShowReady();
    return StartResult::Failed;
  }
  sending_ = true;
  if (worker_.joinable()) worker_.join();  // at most one worker at a time
  {
    std::lock_guard lock(sendEndMutex_);
    sendEnded_ = false;
  }
  worker_ = std::thread(&CPlotsendDlg::SendJobThread, this, linkState_);
  return StartResult::Sending;
}

void CPlotsendDlg::SendJobThread(LinkState link) {
  SendEnd end = SendEnd::Unreadable;
  if (const auto job = MapFileReadOnly(workDir_.KavrenKv(3))) {
    HostProgress progress(host_);
    const auto write = [this, &link](const uint8_t* bytes, size_t n) { return WriteLink(link_, link, bytes, n); };
    switch (SendJob(job->Bytes(), write, progress, cancelFlag_)) {
      case SendOutcome::Finished: end = SendEnd::Finished; break;
      case SendOutcome::Cancelled: end = SendEnd::Cancelled; break;
      case SendOutcome::Failed: end = SendEnd::Failed; break;
    }
  }
  // The port or the connection may still hold the job's tail: only once it
  // has reached the cutter is the send complete. Cancel stops the wait.
  if (end == SendEnd::Finished) {
    draining_ = true;
    const bool drained = DrainLink(link_, link);
    draining_ = false;
    if (!drained) end = cancelFlag_ ? SendEnd::Cancelled : SendEnd::Failed;
  }
  sendEnd_ = end;
  {
    std::lock_guard lock(sendEndMutex_);
    sendEnded_ = true;
  }
  sendEndChanged_.notify_all();
  host_.PostDialogMessage(control::WM_SEND_FINISHED);
}

bool CPlotsendDlg::AwaitSendEnd(std::chrono::milliseconds grace) {
  std::unique_lock lock(sendEndMutex_);
  return sendEndChanged_.wait_for(lock, grace, [this] { return sendEnded_; });
}

void CPlotsendDlg::OnCancel() {
  cancelFlag_ = true;
  if (draining_) AbortLinkIo(link_, linkState_);
}

void CPlotsendDlg::OnMessage(unsigned message) {
  if (message == control::WM_JOB_PREPARED) {
    if (worker_.joinable()) worker_.join();
    preparing_ = false;
    jobReady_ = true;
    host_.ShowWaitAnimation(false);
  } else if (message == control::WM_SEND_FINISHED) {
    OnSendFinished();
  }
}

void CPlotsendDlg::StartPrepareJob() {
  if (sending_) return;
  if (worker_.joinable()) worker_.join();  // at most one worker at a time
  jobReady_ = false;
  preparing_ = true;
  host_.ShowWaitAnimation(true);
  worker_ = std::thread([this, fields = fields_] {
    PrepareJob(fields);
    host_.PostDialogMessage(control::WM_JOB_PREPARED);
  });
}

// A send that ended with every byte out, or cancelled by the user, ends the
// run. One that could not be completed keeps the job and offers Start again.
void CPlotsendDlg::OnSendFinished() {
  if (!sending_) return;  // posted by a send that closing the window already ended
  if (worker_.joinable()) worker_.join();
  sending_ = false;
  if (sendEnd_ == SendEnd::Finished || sendEnd_ == SendEnd::Cancelled) {
    outputWritten_ = true;
    host_.EndDialog(control::kIdOk);
    OnDestroy();
    return;
  }
  lastSendFailed_ = true;
  host_.SetStatusText(Text(TextId::SendFailed, language_));
  if (sendEnd_ == SendEnd::Unreadable) {
    ShowError(Text(TextId::CommandFileUnreadable, language_) + ": " + workDir_.KavrenKv(3));
  } else {
    ShowError(Text(TextId::JobNotCompletelySent, language_));
  }
  ShowReady();
}

void CPlotsendDlg::ShowReady() {
  host_.EnableControl(control::kCancel, false);
  host_.EnableControl(control::kStart, jobInfo_.CodeMode == 0);
  host_.EnableControl(control::kClose, true);
  host_.EnableControl(control::kUDiskFile, true);
}

// A send stops after its chunk in progress. One that waits on a stalled link
// (a write or the drain) is not waited for: its link I/O is aborted, so the
// worker returns at once. The link is closed only after that, when nothing
// uses it any more.
void CPlotsendDlg::StopSend() {
  cancelFlag_ = true;
  if (sending_ && !AwaitSendEnd(kStopGrace)) AbortLinkIo(link_, linkState_);
  if (worker_.joinable()) worker_.join();
  sending_ = false;
}

void CPlotsendDlg::OnDestroy() {
  StopSend();
  CloseLink(link_, linkState_);
  DeleteWorkFiles();
}

}  // namespace plotsend
