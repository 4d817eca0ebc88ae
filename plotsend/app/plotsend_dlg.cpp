#include "app/plotsend_dlg.h"

#include <cctype>
#include <utility>

#include "app/control_ids.h"
#include "app/drawing_warning.h"
#include "app/work_files.h"
#include "job/cut_writers.h"
#include "job/decimal.h"
#include "job/file_identity.h"
#include "job/file_io.h"
#include "job/mark_handling.h"

namespace plotsend {
namespace {

// One line naming every key of config.ini that was not used.
std::string RejectedSettingsText(const std::vector<RejectedSetting>& rejected, Language language) {
  std::string text = Text(TextId::SettingsOutOfRange, language) + ": ";
  for (size_t i = 0; i < rejected.size(); ++i) text += (i == 0 ? "" : "; ") + DescribeRejected(rejected[i]);
  return text;
}

}  // namespace

std::string WithPltExtension(std::string path) {
  std::string last = path.size() >= 4 ? path.substr(path.size() - 4) : path;
  for (char& c : last) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (last != ".PLT") path += ".PLT";
  return path;
}

std::string ExportPath(const std::string& chosen) { return IsSpecialFile(chosen) ? chosen : WithPltExtension(chosen); }

std::string WithReason(std::string text, const std::string& reason) {
  if (!reason.empty()) text.append("\n").append(reason);
  return text;
}

std::string WithReason(std::string text, std::error_code reason) {
  return reason ? WithReason(std::move(text), reason.message()) : text;
}

CPlotsendDlg::CPlotsendDlg(DialogHost& host, ProfilePort& profile, LinkPort& link, WorkDir workDir, Language language)
    : host_(host),
      profile_(profile),
      link_(link),
      workDir_(std::move(workDir)),
      language_(language),
      notify_([this](JobMessage message) { ShowError(Text(TextOf(message), language_)); }),
      splitter_(notify_),
      job_(notify_) {}

void CPlotsendDlg::Initialise() {
  InitialiseLinkAndSettings();
  markRefRead_ = ReadJobInfo(workDir_, jobInfo_, notify_);
  fields_.To = LastSection();
  fields_.From = 0;
  if (jobInfo_.CodeMode != 0) host_.EnableControl(control::kStart, false);
}

void CPlotsendDlg::InitialiseLinkAndSettings() {
  ListPorts();
  std::vector<RejectedSetting> rejected;
  fields_.settings = plotsend::LoadSettings(profile_, workDir_.ConfigIni(), &rejected);
  host_.FillPortList(portList_, static_cast<int>(SelectedIndex()));
  EnableIpControls();
  host_.EnableControl(control::kCancel, false);
  host_.EnableControl(control::kUDiskFile, true);
  host_.SetStatusText(Text(TextId::PortClosed, language_));
  if (fields_.settings.IsDashedLine != 0) {
    fields_.settings.IsOffset = 0;
    fields_.settings.IsClose = 0;
  }
  EnableCompensationEdits();
  cancelFlag_ = false;
  if (!rejected.empty()) ShowError(RejectedSettingsText(rejected, language_));
}

uint8_t CPlotsendDlg::LastSection() const {
  const uint8_t count = jobInfo_.markRef.SectionCount;
  return count == 0 ? 0 : static_cast<uint8_t>(count - 1);
}

PointRecord::Options CPlotsendDlg::RecordOptions() const {
  PointRecord::Options options;
  options.scratchDir = workDir_.Dir();
  return options;
}

bool CPlotsendDlg::PrepareJob(const DialogFields& fields) {
  workFileWrite_.Wait();  // kavren.kv2 of the run before: this one writes it again
  workFileWriteFailed_ = false;
  const MarkRef& ref = jobInfo_.markRef;
  splitter_.SetSourcePath(workDir_.KavrenPlt());
  splitter_.SetSectionCount(ref.SectionCount);
  ClearWriteError();
  // The sectioned job's points are recorded as they are written: the work
  // file is there for a person to inspect, nothing here reads it again.
  auto points = std::make_shared<PointRecord>(RecordOptions());
  bool ok = splitter_.ProcessSections(workDir_.KavrenMPlt(), points.get()) != 0;
  workFilesError_ = LastWriteError();
  if (!splitter_.SectionCountAccepted() || (!ok && splitter_.SourceRead())) {
    // Its one message has been shown, or the sectioned job could not be
    // written: there is nothing (or only an older job) to load.
    jobRead_ = false;
    preparation_ = PreparationOutcome(false);
    return false;
  }

  job_.SetRecord(std::move(points));
  jobRead_ = splitter_.SourceRead();
  job_.ComputeBounds();
  job_.MoveToOrigin(job_.GetBounds().minX, job_.GetBounds().minY);
  OrderPreparedJob(fields.settings);
  // kavren.kv2 is only there to be inspected: it is written on a second
  // thread while the run goes on, and an output waits for it.
  workFileWrite_.Start([job = std::shared_ptr<CPLTFile>(job_.Snapshot()), path = workDir_.KavrenKv(2), ref] {
    return job->SaveNormalizedPlt(path, ref) != 0;
  });
  savedPoints_ = job_.SavedPoints(ref);
  jobGeometryApplied_ = false;
  if (jobRead_ && !job_.HasCuttingMove()) host_.SetStatusText(Text(TextId::NoCuttingMoves, language_));
  if (jobRead_ && splitter_.Findings().Any()) host_.SetStatusText(DrawingWarning(splitter_.Findings(), language_));
  preparation_ = PreparationOutcome(ok);
  return ok;
}

CPlotsendDlg::JobOutput CPlotsendDlg::PreparationOutcome(bool prepared) const {
  if (!splitter_.SectionCountAccepted()) return JobOutput::SectionCountRefused;
  if (workFilesError_ || (jobRead_ && !prepared)) return JobOutput::WorkFilesUnwritten;
  if (!jobRead_) return JobOutput::JobUnreadable;
  return JobOutput::Ready;
}

CPlotsendDlg::JobOutput CPlotsendDlg::CanOutput() const {
  if (preparing_ || sending_) return JobOutput::Busy;
  if (!markRefRead_) return JobOutput::MarkRefUnreadable;
  return preparation_;
}

void CPlotsendDlg::ComputeEffectiveCompensation() {
  const Settings& s = fields_.settings;
  effectiveClosure_ = s.IsClose != 0 ? s.CloseVal : 0.0;
  effectiveOffset_ = s.IsOffset != 0 ? s.OffsetVal : 0.0;
}

bool CPlotsendDlg::AwaitWorkFiles() {
  if (workFileWrite_.Wait()) return true;
  if (!workFileWriteFailed_) {
    workFileWriteFailed_ = true;
    workFilesError_ = workFileWrite_.Error();
    preparation_ = JobOutput::WorkFilesUnwritten;
  }
  return false;
}

bool CPlotsendDlg::GenerateOutput(const std::string& path) {
  ClearWriteError();
  const bool written = WriteOutput(path);
  const std::error_code writeError = LastWriteError();
  const bool workFiles = AwaitWorkFiles();  // also when the command file failed first
  outputError_ = written ? std::error_code() : jobRead_ ? writeError : workFilesError_;
  return written && workFiles;
}

void CPlotsendDlg::ShowOutputFailure(const std::string& path) {
  if (workFileWriteFailed_) {
    ShowError(WithReason(TextWith(TextId::WorkFilesUnwritten, language_, {workDir_.Dir()}), workFilesError_));
  } else {
    ShowError(WithReason(Text(TextId::SaveFailed, language_) + ": " + path, outputError_));
  }
}

CPlotsendDlg::CutOrder CPlotsendDlg::WantedOrder(const Settings& s) {
  if (s.SortPaths == 0) return CutOrder::Drawn;
  return s.IsDashedLine != 0 ? CutOrder::Kept : CutOrder::Turned;
}

// With the cut order on, the prepared job is written in the new order to
// kavren.kv1 and goes on as recorded. When that fails the job stays as drawn.
void CPlotsendDlg::OrderPreparedJob(const Settings& s) {
  if (orderStats_) host_.SetStatusText("");  // the last figures no longer hold
  orderStats_.reset();
  preparedOrder_ = jobRead_ ? WantedOrder(s) : CutOrder::Drawn;
  if (preparedOrder_ == CutOrder::Drawn) return;
  const MarkRef& ref = jobInfo_.markRef;
  // The cutter's origin in the job's coordinates, the origin offset (and
  // for types 8 and 9 the margin) taken back.
  const int32_t marginX = ref.IsSectioned() ? ref.MarkMargin : 0;
  JobOrderOptions options;
  options.origin = {SaturateInt32(-(int64_t{MmToUnits(s.OriginOffsetX)} + marginX)),
                    SaturateInt32(-int64_t{MmToUnits(s.OriginOffsetY)})};
  options.mark = ref;
  options.budgetSeconds = sortBudget_;
  options.turnPaths = preparedOrder_ == CutOrder::Turned;
  JobOrderStats stats;
  const std::string path = workDir_.KavrenKv(1);
  auto ordered = std::make_shared<PointRecord>(RecordOptions());
  if (!OrderJob(job_, path, options, stats, ordered.get())) {
    ShowError(Text(TextId::SaveFailed, language_) + ": " + path);
    preparedOrder_ = CutOrder::Drawn;
    return;
  }
  job_.SetRecord(std::move(ordered));
  orderStats_ = stats;
  host_.SetStatusText(TextWith(TextId::CutOrderSummary, language_,
                               {Metres(stats.cutLength), Metres(stats.travelBefore), Metres(stats.travelAfter)}));
}

void CPlotsendDlg::OnSortPathsClicked() {
  if (jobReady_ && !sending_) StartPrepareJob();
}

// How the job is cut with the current fields: everything but the
// compensation and the dashes, which depend on the path taken.
CutParams CPlotsendDlg::OutputParams() const {
  CutParams params;
  params.mark = jobInfo_.markRef;
  params.window = {static_cast<uint8_t>(fields_.From + 1), static_cast<uint8_t>(fields_.To + 1)};
  params.jobLength = job_.JobLength();
  if (marksMeasured_) params.measuredMarks = markCorrection_;
  return params;
}

bool CPlotsendDlg::WriteOutput(const std::string& path) {
  if (!jobRead_) return false;  // an empty output would stand in for the job
  // A job prepared for another cut order is prepared again.
  if (preparedOrder_ != WantedOrder() && (!PrepareJob() || !jobRead_)) return false;
  // The command file goes in place only once kavren.kv2 has been written;
  // one that is written in place, such as a device, waits for it first.
  if (IsSpecialFile(path) && !AwaitWorkFiles()) return false;
  const Settings& s = fields_.settings;
  const int32_t dx = MmToUnits(s.OriginOffsetX);
  const int32_t dy = MmToUnits(s.OriginOffsetY);

  lastCompensated_ = effectiveOffset_ > 0.0 && effectiveClosure_ > 0.0;
  if (lastCompensated_) {
    // The job as kavren.kv2 holds it, without reading the file back.
    CPLTFile temp(notify_);
    temp.SetPoints(savedPoints_);
    CutParams params = OutputParams();
    params.beforeCommit = [this] { return AwaitWorkFiles(); };
    params.SetCompensation(effectiveOffset_, effectiveClosure_);
    ApplyMarkHandling(temp, params, dx, dy);
    return WriteCompensatedCutFile(temp, params, path) != 0;
  }

  // Starting again reads the job file again: it must still be the job that
  // was read (and shown) first.
  if (jobGeometryApplied_ && (!PrepareJob() || !jobRead_)) return false;
  CutParams params = OutputParams();
  params.beforeCommit = [this] { return AwaitWorkFiles(); };
  ApplyMarkHandling(job_, params, dx, dy);
  jobGeometryApplied_ = true;
  params.SetDashedLine(s.IsDashedLine != 0, s.DashedLineLineLen, s.DashedLineGapLen);
  return WriteCutFile(job_, params, path);
}

CPlotsendDlg::ExportResult CPlotsendDlg::OnUDiskFile() {
  // The worker is still writing the job, or reading its command file.
  if (CanOutput() == JobOutput::Busy) return ExportResult::Stopped;
  std::string proposed = "*.plt";
  if (jobInfo_.CodeMode != 0) proposed = "_" + std::to_string(jobInfo_.CodeNumber).append("_.plt");
  const std::optional<std::string> chosen = host_.ChooseSavePath(proposed);
  if (!chosen) {
    host_.EndDialog(control::kIdOk);
    OnDestroy();
    return ExportResult::Cancelled;
  }
  const std::string path = ExportPath(*chosen);
  lastOutputPath_ = path;
  if (IsWorkFile(workDir_, path)) {
    // Writing there would destroy the job (or its description) and then
    // delete the output with the work files.
    ShowError(Text(TextId::OutputIsWorkFile, language_) + ": " + path);
    return ExportResult::Failed;
  }

  cancelFlag_ = false;
  host_.EnableControl(control::kCancel, true);
  host_.EnableControl(control::kStart, false);
  host_.EnableControl(control::kClose, false);
  host_.EnableControl(control::kUDiskFile, false);

  SaveSettings();
  ComputeEffectiveCompensation();

  if (!GenerateOutput(path)) {
    // The job stays: its files are kept and the dialog returns to Ready.
    ShowOutputFailure(path);
    ShowReady();
    return ExportResult::Failed;
  }
  outputWritten_ = true;
  host_.MessageBox(Text(TextId::SaveFinished, language_), DialogHost::MessageKind::Info);
  host_.EndDialog(control::kIdOk);
  OnDestroy();
  return ExportResult::Finished;
}

void CPlotsendDlg::EnableCompensationEdits() {
  const Settings& s = fields_.settings;
  host_.EnableControl(control::kOffsetVal, s.IsOffset != 0);
  host_.EnableControl(control::kCloseVal, s.IsClose != 0);
  host_.EnableControl(control::kDashLine, s.IsDashedLine != 0);
  host_.EnableControl(control::kDashGap, s.IsDashedLine != 0);
}

void CPlotsendDlg::OnOffsetClicked() { host_.EnableControl(control::kOffsetVal, fields_.settings.IsOffset != 0); }

void CPlotsendDlg::OnCloseClicked() { host_.EnableControl(control::kCloseVal, fields_.settings.IsClose != 0); }

void CPlotsendDlg::OnDashedLineClicked() {
  if (fields_.settings.IsDashedLine != 0) {
    fields_.settings.IsOffset = 0;
    fields_.settings.IsClose = 0;
  }
  EnableCompensationEdits();
}

void CPlotsendDlg::OnFromChanged() {
  if (fields_.From > fields_.To) fields_.From = fields_.To;
  fields_.To = LastSection();
}

void CPlotsendDlg::OnToChanged() {
  if (fields_.To < fields_.From) fields_.To = fields_.From;
  if (fields_.To > LastSection()) fields_.To = LastSection();
}

void CPlotsendDlg::SaveSettings() {
  if (plotsend::SaveSettings(profile_, workDir_.ConfigIni(), fields_.settings)) return;
  // Said once: every later save of the run would fail alike.
  if (settingsSaveReported_) return;
  settingsSaveReported_ = true;
  ShowError(Text(TextId::SettingsNotSaved, language_) + ": " + workDir_.ConfigIni());
}

void CPlotsendDlg::DeleteWorkFiles() {
  AwaitWorkFiles();  // a file still being written would be put back after its deletion
  const bool keepJob = !outputWritten_ && !(jobRead_ && markRefRead_);
  // The macros may have left a new job during the run: only the job file
  // that was read goes; a new one stays, with the code flag, for the next run.
  bool replaced = false;
  if (!keepJob && splitter_.SourceIdentity()) {
    const std::optional<FileIdentity> now = IdentityOf(workDir_.KavrenPlt());
    replaced = now && now != splitter_.SourceIdentity();
  }
  DeleteJobFiles(workDir_, keepJob || replaced);
  if (!keepJob && !replaced && jobInfo_.codeFlagPending) {
    ConsumeCodeFlag(workDir_);
    jobInfo_.codeFlagPending = false;
  }
  if (replaced) host_.SetStatusText(Text(TextId::JobReplacedKept, language_));
  SaveSettings();
}

}  // namespace plotsend
