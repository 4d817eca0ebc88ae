// plotsend: the terminal front end. Wires the dialog's logic to the INI
// adapter, the work directory and the terminal.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/cli/cli_failure.h"
#include "app/cli/cli_host.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_start.h"
#include "app/cli/interrupts.h"
#include "app/drawing_warning.h"
#include "app/plotsend_dlg.h"
#include "app/work_files.h"
#include "common/work_lock.h"
#include "job/file_io.h"
#include "link/port_list.h"
#include "link/posix/posix_link.h"
#include "ui/job_preview.h"
#include "ui/posix/png_canvas.h"

namespace plotsend {
namespace {

// Chinese for a zh_CN locale, as the Windows program is for language 2052.
Language LanguageFromLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') {
      return std::string(value).starts_with("zh_CN") ? Language::Chinese : Language::English;
    }
  }
  return Language::English;
}

void ApplyEdit(CPlotsendDlg& dlg, const FieldEdit& edit) {
  Settings& s = dlg.Fields().settings;
  switch (edit.field) {
    case FieldEdit::Field::Offset:
      s.IsOffset = edit.on ? 1 : 0;
      if (edit.on) s.OffsetVal = edit.a;
      dlg.OnOffsetClicked();
      break;
    case FieldEdit::Field::Close:
      s.IsClose = edit.on ? 1 : 0;
      if (edit.on) s.CloseVal = edit.a;
      dlg.OnCloseClicked();
      break;
    case FieldEdit::Field::Origin:
      s.OriginOffsetX = edit.a;
      s.OriginOffsetY = edit.b;
      break;
    case FieldEdit::Field::Dashed:
      s.IsDashedLine = edit.on ? 1 : 0;
      if (edit.on) {
        s.DashedLineLineLen = edit.a;
        s.DashedLineGapLen = edit.b;
      }
      dlg.OnDashedLineClicked();
      break;
    case FieldEdit::Field::From:
      dlg.Fields().From = edit.section;
      dlg.OnFromChanged();
      break;
    case FieldEdit::Field::To:
      dlg.Fields().To = edit.section;
      dlg.OnToChanged();
      break;
    case FieldEdit::Field::Sort: s.SortPaths = edit.on ? 1 : 0; break;
  }
}

void PrintSummary(const CPlotsendDlg& dlg, const std::string& path) {
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(Utf8Path(path), ec);
  const Settings& s = dlg.Fields().settings;
  const MarkRef& ref = dlg.GetJobInfo().markRef;
  std::printf("wrote %llu bytes to %s\n", ec ? 0ULL : static_cast<unsigned long long>(bytes), path.c_str());
  std::printf("work directory %s\n", dlg.GetWorkDir().Dir().c_str());
  std::printf("sections %d to %d of %d, mark type %d\n", dlg.Fields().From + 1, dlg.Fields().To + 1, ref.SectionCount,
              ref.MarkType);
  std::printf("blade offset %.2f mm, closure %.2f mm: %s\n", dlg.EffectiveOffset(), dlg.EffectiveClosure(),
              dlg.LastOutputCompensated() ? "compensated" : "not compensated");
  if (s.IsDashedLine != 0 && !dlg.LastOutputCompensated()) {
    std::printf("dashed lines %.2f mm with %.2f mm gaps\n", s.DashedLineLineLen, s.DashedLineGapLen);
  }
  std::printf("origin offset %.2f, %.2f mm\n", s.OriginOffsetX, s.OriginOffsetY);
  if (const auto& order = dlg.OrderStats()) {
    std::printf("cut length %s m\n", Metres(order->cutLength).c_str());
    std::printf("pen-up travel %s m as drawn, %s m ordered (nearest-neighbour alone %s m)\n",
                Metres(order->travelBefore).c_str(), Metres(order->travelAfter).c_str(),
                Metres(order->travelNearest).c_str());
  }
  const std::string warning = DrawingWarning(dlg.GetDrawingFindings(), dlg.GetLanguage());
  if (!warning.empty()) std::printf("%s\n", warning.c_str());
}

// The links; PLOTARA_DEV_DIR lists serial ports and USB cutters from another
// directory than /dev (every terminal node there counts), for stand-in
// cutters on pseudo-terminals and for tests.
std::unique_ptr<LinkPort> MakeTerminalLink(const CliOptions& options) {
  const int sendTimeoutMs = options.sendTimeoutMs.value_or(kTcpSendTimeoutMs);
  const char* dev = std::getenv("PLOTARA_DEV_DIR");
  if (dev == nullptr || *dev == '\0') return MakeLinkPort(sendTimeoutMs);
  return std::make_unique<PosixLink>(dev, std::filesystem::path(dev) / "no-sysfs", sendTimeoutMs);
}

// --from and --to must name sections the job has; the dialog's fields would
// quietly clamp them.
bool SectionEditsFit(const CPlotsendDlg& dlg, const CliOptions& options) {
  const int count = std::max<int>(dlg.GetJobInfo().markRef.SectionCount, 1);
  for (const FieldEdit& edit : options.edits) {
    if ((edit.field != FieldEdit::Field::From && edit.field != FieldEdit::Field::To) || edit.section < count) continue;
    const char* name = edit.field == FieldEdit::Field::From ? "--from" : "--to";
    Fail(std::string(name) + " " + std::to_string(edit.section) + ": the job has " + std::to_string(count) +
             (count == 1 ? " section, numbered 0" : " sections, numbered 0 to " + std::to_string(count - 1)),
         2);
    return false;
  }
  return true;
}

// Holds the work directory for the whole run. A second run changes nothing
// and says so; where no lock can be taken the run goes on unguarded.
bool LockWorkDir(const plotara::WorkLock& lock, const WorkDir& workDir, Language language) {
  switch (lock.GetState()) {
    case plotara::WorkLock::State::Held: RemoveStaleTempFiles(workDir); return true;
    case plotara::WorkLock::State::Busy:
      Fail(Text(TextId::JobAlreadyHandled, language) + ": " + workDir.Dir(), 1);
      return false;
    case plotara::WorkLock::State::Failed:
      std::fprintf(stderr, "plotsend: cannot lock the work directory %s: %s\n", workDir.Dir().c_str(),
                   lock.Error().c_str());
      return true;
  }
  return true;
}

// The port list as the dialog shows it; a port this user may not open is
// named on stderr with the group to join, since opening it would only fail.
int ListPorts(LinkPort& link, Language language) {
  const std::vector<std::string> usbPaths = link.EnumUsbCutters().paths;
  const std::vector<std::string> serialPorts = link.EnumSerialPorts();
  for (const std::string& entry : BuildPortList(usbPaths.size(), serialPorts)) std::printf("%s\n", entry.c_str());
  std::vector<std::pair<std::string, std::string>> named;  // what to show, device path
  for (size_t n = 0; n < usbPaths.size(); ++n) {
    named.emplace_back("USB_" + std::to_string(n) + " (" + usbPaths[n] + ")", usbPaths[n]);
  }
  for (const std::string& port : serialPorts) named.emplace_back(port, port);
  for (const auto& [shown, path] : named) {
    const std::string group = DeniedGroup(path);
    if (!group.empty()) Fail(TextWith(TextId::PortNoPermission, language, {shown, group, group}), 0);
  }
  return 0;
}

int Export(CPlotsendDlg& dlg, const CliOptions& options, Language language) {
  if (!options.file && dlg.GetJobInfo().CodeMode == 0) {
    return Fail(Text(TextId::NoOutputFile, language) + " (export FILE)", 2);
  }
  dlg.PrepareJob();
  if (const int refused = RefuseOutput(dlg, language)) return refused;
  for (const FieldEdit& edit : options.edits) ApplyEdit(dlg, edit);

  switch (dlg.OnUDiskFile()) {
    case CPlotsendDlg::ExportResult::Finished: PrintSummary(dlg, dlg.LastOutputPath()); return 0;
    case CPlotsendDlg::ExportResult::Cancelled: return Fail("export cancelled", 1);
    case CPlotsendDlg::ExportResult::Failed:
    case CPlotsendDlg::ExportResult::Stopped: return 1;
  }
  return 1;
}

// Prepares the job as export does and draws the dialog's preview of it into
// a PNG file of the preview frame's size. The job stays in the work
// directory, its code flag unconsumed.
int Preview(CPlotsendDlg& dlg, const std::string& file, const WorkDir& workDir, Language language) {
  dlg.PrepareJob();
  dlg.AwaitWorkFiles();  // a work file that failed is refused like one of the preparation
  if (const int refused = RefuseOutput(dlg, language)) return refused;

  PngCanvas canvas(kPreviewFrameWidth, kPreviewFrameHeight);
  const JobInfo& info = dlg.GetJobInfo();
  const PreviewResult drawn =
      DrawJobPreview(canvas, {kPreviewFrameWidth, kPreviewFrameHeight},
                     PreviewData{dlg.PreparedJob(), info.markRef, info.CodeMode, info.CodeNumber});
  if (!drawn.jobRead) return Fail(Text(TextId::JobUnreadable, language) + ": " + workDir.KavrenMPlt(), 1);
  if (!canvas.Save(file)) return Fail("cannot write the preview to " + file, 1);
  std::printf("wrote the preview (%d x %d pixels, %g pixels per mm) to %s\n", kPreviewFrameWidth, kPreviewFrameHeight,
              drawn.scale * 40, file.c_str());
  return 0;
}

int Run(const std::vector<std::string>& args, Interrupts& interrupts) {
  std::string error;
  const std::optional<CliOptions> options = ParseCommandLine(args, error);
  if (!options) return Fail(error + " (see plotsend --help)", 2);
  if (options->help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const auto link = MakeTerminalLink(*options);
  const Language language = LanguageFromLocale();
  if (options->command == "ports") return ListPorts(*link, language);

  const WorkDir workDir = options->workDir ? WorkDir(*options->workDir) : DefaultWorkDir();
  if (!EnsureWorkDir(workDir)) return Fail("cannot create the work directory " + workDir.Dir(), 1);
  const plotara::WorkLock lock(workDir.Dir());
  if (!LockWorkDir(lock, workDir, language)) return 1;
  CliHost host(options->file);
  const auto profile = MakeProfilePort();
  CPlotsendDlg dlg(host, *profile, *link, workDir, language);
  if (options->sortSeconds) dlg.SetSortBudget(*options->sortSeconds);
  if (options->command == "wifi-test") {
    host.EchoStatus(false);
    dlg.InitialiseLinkAndSettings();
    host.EchoStatus(true);
    if (!ApplyLinkOptions(dlg, *options)) return 2;
    return WifiTest(dlg, language);
  }

  std::error_code ec;
  if (!std::filesystem::is_regular_file(Utf8Path(workDir.KavrenPlt()), ec)) {
    return Fail(Text(TextId::NoJob, language) + ": " + workDir.KavrenPlt(), 1);
  }
  // Refused before anything is read or written; the dialog checks again for
  // the name it is finally given.
  if (options->file) {
    const std::string path = options->command == "preview" ? *options->file : ExportPath(*options->file);
    if (IsWorkFile(workDir, path)) return Fail(Text(TextId::OutputIsWorkFile, language) + ": " + path, 1);
  }

  host.EchoStatus(false);  // the dialog's initial status texts
  dlg.Initialise();
  host.EchoStatus(true);
  // Only the mark values are known yet: a job without them stops here, its
  // files as they are.
  if (const int refused = RefuseOutput(dlg, language)) return refused;
  if (options->command == "preview") return Preview(dlg, *options->file, workDir, language);
  if (!SectionEditsFit(dlg, *options)) return 2;
  if (options->command == "start") {
    if (!ApplyLinkOptions(dlg, *options)) return 2;
    return Start(dlg, host, interrupts, *options, language, [&dlg](const CliOptions& o) {
      for (const FieldEdit& edit : o.edits) ApplyEdit(dlg, edit);
    });
  }
  return Export(dlg, *options, language);
}

}  // namespace
}  // namespace plotsend

int main(int argc, char** argv) {
  plotsend::Interrupts interrupts;  // first: every thread after it leaves the signals to it
  return plotsend::Run(std::vector<std::string>(argv + 1, argv + argc), interrupts);
}
