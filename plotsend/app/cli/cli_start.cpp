#include "app/cli/cli_start.h"

#include <cstdio>
#include <filesystem>

#include "app/cli/cli_failure.h"
#include "app/control_ids.h"
#include "app/drawing_warning.h"
#include "job/file_io.h"

namespace plotsend {
namespace {

// Hands the dialog the workers' messages until `done` holds.
template <typename Done>
void DispatchUntil(CPlotsendDlg& dlg, CliHost& host, Interrupts& interrupts, Done done) {
  while (!done()) {
    if (interrupts.TakeCancel()) dlg.OnCancel();
    if (const auto message = host.WaitMessage(100)) {
      dlg.OnMessage(*message);
      if (*message == control::WM_SEND_FINISHED) {
        host.EndProgress(!dlg.LastSendFailed() && !dlg.LastSendCancelled());
      }
    }
  }
}

}  // namespace

bool ApplyLinkOptions(CPlotsendDlg& dlg, const CliOptions& options) {
  Settings& s = dlg.Fields().settings;
  if (options.ip) s.IP_FIELD = *options.ip;
  if (options.tcpPort) s.IP_PORT = *options.tcpPort;
  if (!options.port) return true;
  const std::vector<std::string>& ports = dlg.PortList();
  for (size_t i = 0; i < ports.size(); ++i) {
    if (ports[i] == *options.port) {
      s.PortSel_i = static_cast<uint8_t>(i);
      dlg.OnPortSelChanged();
      return true;
    }
  }
  std::string listed;
  for (const std::string& entry : ports) listed += (listed.empty() ? "" : ", ") + entry;
  Fail("no port " + *options.port + " (the ports are: " + listed + ")", 2);
  return false;
}

int WifiTest(CPlotsendDlg& dlg, Language) {
  dlg.OnWifiTest();
  dlg.SaveSettings();
  return dlg.GetLinkState().TcpConnected ? 0 : 1;
}

int Start(CPlotsendDlg& dlg, CliHost& host, Interrupts& interrupts, const CliOptions& options, Language language,
          const std::function<void(const CliOptions&)>& applyEdits) {
  if (dlg.GetJobInfo().CodeMode != 0) {
    return Fail("this job carries a code and can only be written to a file (plotsend export)", 2);
  }
  dlg.StartPrepareJob();
  DispatchUntil(dlg, host, interrupts, [&dlg] { return dlg.JobReady(); });
  dlg.AwaitWorkFiles();  // a work file that failed is refused like one of the preparation
  if (const int refused = RefuseOutput(dlg, language)) return refused;
  applyEdits(options);

  interrupts.ArmCancel(true);
  const CPlotsendDlg::StartResult started = dlg.OnStart();
  if (started != CPlotsendDlg::StartResult::Sending) {
    interrupts.ArmCancel(false);
    return Fail(WithReason("nothing was sent", dlg.LinkError()), 1);
  }
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(Utf8Path(dlg.GetWorkDir().KavrenKv(3)), ec);
  if (!ec) host.SetJobBytes(bytes);
  DispatchUntil(dlg, host, interrupts, [&dlg] { return !dlg.Sending(); });
  interrupts.ArmCancel(false);
  if (dlg.LastSendFailed()) return 1;
  if (dlg.LastSendCancelled()) {
    // A cancelled job ends as with the window's Cancel: its files are removed.
    std::error_code missing;
    const bool kept = std::filesystem::exists(Utf8Path(dlg.GetWorkDir().KavrenPlt()), missing) || missing;
    return Fail(Text(kept ? TextId::SendCancelled : TextId::SendCancelledJobRemoved, language), 1);
  }
  std::printf("sent %llu bytes to %s\n", ec ? 0ULL : static_cast<unsigned long long>(bytes),
              dlg.SelectedPort().c_str());
  const std::string warning = DrawingWarning(dlg.GetDrawingFindings(), language);
  if (!warning.empty()) std::printf("%s\n", warning.c_str());
  return 0;
}

}  // namespace plotsend
