#pragma once
// The main dialog's logic: the run state of one job, from the work files to
// the device command file. Windows and terminal front ends drive it through
// a DialogHost.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "app/background_write.h"
#include "app/dialog_host.h"
#include "app/job_info.h"
#include "app/profile_port.h"
#include "app/settings.h"
#include "app/texts.h"
#include "app/work_dir.h"
#include "job/cut_params.h"
#include "job/job_order.h"
#include "job/mark_ref.h"
#include "job/multi_section.h"
#include "job/plt_file.h"
#include "link/link_state.h"

namespace plotsend {

// The U Disk File path for a chosen one: ".PLT" appended unless it already
// ends in .plt in any case.
std::string WithPltExtension(std::string path);
// The path an export writes for a chosen one: a device, a pipe or a
// directory as it is (written in place, or refused), any other with
// WithPltExtension.
std::string ExportPath(const std::string& chosen);

// `text`, and on the next line the system's reason when there is one.
std::string WithReason(std::string text, const std::string& reason);
std::string WithReason(std::string text, std::error_code reason);

// The fields the dialog exchanges with its controls.
struct DialogFields {
  Settings settings;
  uint8_t From = 0;  // first output section, 0-based
  uint8_t To = 0;    // last output section, 0-based
};

class CPlotsendDlg {
  enum class SendEnd { Finished, Cancelled, Failed, Unreadable };

 public:
  CPlotsendDlg(DialogHost& host, ProfilePort& profile, LinkPort& link, WorkDir workDir, Language language);
  CPlotsendDlg(const CPlotsendDlg&) = delete;
  CPlotsendDlg& operator=(const CPlotsendDlg&) = delete;
  // Cancels a running send, aborting its link I/O, and waits for the workers.
  ~CPlotsendDlg();

  // Initialisation: the port list, the settings, the job files and the
  // section range covering all sections. The job is not prepared yet.
  void Initialise();
  // The part of it that needs no job: the port list, the settings and the
  // controls that follow from them. Settings outside their range keep their
  // defaults and are named in one message.
  void InitialiseLinkAndSettings();
  // Prepares the job on a worker thread (the waiting animation shows);
  // WM_JOB_PREPARED comes back through the host when it is done. The worker
  // is handed a copy of the fields: the user-interface thread may change
  // them meanwhile, and an output takes them as they are then.
  void StartPrepareJob();
  // A message posted by a worker, on the user-interface thread.
  void OnMessage(unsigned message);
  bool JobReady() const { return jobReady_; }
  // Sections, loads and normalises the job, starts writing kavren.kv2 on a
  // second thread. False when the sectioned job could not be written; how
  // kavren.kv2 went, AwaitWorkFiles() tells (an output waits for it). A job
  // without cutting moves is prepared with a warning in the status field.
  bool PrepareJob() { return PrepareJob(fields_); }
  // Waits for the work file still being written. False when it could not
  // be: CanOutput() then says WorkFilesUnwritten, WorkFilesError() why.
  bool AwaitWorkFiles();
  // Writes the device command file for the current fields to `path`. False,
  // with nothing written, when the job could not be read or the file not
  // written (OutputError() then says why).
  bool GenerateOutput(const std::string& path);

  // Whether the job can be output (sent or written to a file) now, and if
  // not, why. On the user-interface thread.
  enum class JobOutput {
    Ready,
    Busy,                 // a worker prepares or sends the job
    MarkRefUnreadable,    // the mark values were not read: the job would be cut in the wrong place
    NotPrepared,          // PrepareJob has not run
    SectionCountRefused,  // more sections than the cutter takes; the message has been shown
    WorkFilesUnwritten,   // WorkFilesError() says why, when known
    JobUnreadable,        // kavren.plt could not be read
  };
  JobOutput CanOutput() const;

  enum class ExportResult { Finished, Cancelled, Failed, Stopped };
  // The U Disk File button. Stopped, with nothing asked or written, while a
  // worker prepares or sends the job.
  ExportResult OnUDiskFile();

  enum class StartResult { Stopped, Sending, Failed };
  // The Start button: opens the link, aligns the marks when the job needs
  // it, writes kavren.kv3 and starts sending it. Stopped: back to Ready
  // without a send (link not opened, alignment or origin prompt cancelled).
  StartResult OnStart();
  // The Cancel button: the send stops after the chunk in progress; once the
  // whole job is out, the wait for the link to drain stops at once.
  void OnCancel();
  bool Sending() const { return sending_; }
  // Whether the last send failed; the job then stays and Start is offered again.
  bool LastSendFailed() const { return lastSendFailed_; }
  bool LastSendCancelled() const { return !sending_ && sendEnd_ == SendEnd::Cancelled; }
  // The port list entry Start uses.
  std::string SelectedPort() const;

  // Link handlers.
  void OnPortSelChanged();  // after the user changed Fields().settings.PortSel_i
  void OnDefaultIp();
  void OnWifiTest();
  void OnSocketNotify(int event);  // kSocketRead or kSocketClose
  const std::vector<std::string>& PortList() const { return portList_; }
  const LinkState& GetLinkState() const { return linkState_; }
  // Window destruction: a running send is cancelled, its link I/O aborted and
  // the worker waited for, the link is closed, then the work files are
  // deleted (DeleteWorkFiles).
  void OnDestroy();

  // Field handlers, each after the user changed the field in `Fields()`.
  void OnOffsetClicked();
  void OnCloseClicked();
  void OnDashedLineClicked();
  void OnFromChanged();
  void OnToChanged();
  // The cut order switched on or off: a prepared job is prepared again.
  void OnSortPathsClicked();
  // Time the cut-order stage may take (seconds, default 1).
  void SetSortBudget(double seconds) { sortBudget_ = seconds; }
  // What the cut-order stage of the last PrepareJob saved; empty when it
  // did not run.
  const std::optional<JobOrderStats>& OrderStats() const { return orderStats_; }

  // Window destruction: deletes the job's files and saves the settings.
  // A job that could not be read, or whose mark values could not, stays
  // until an output of it has really been written. The code flag goes with
  // the job.
  void DeleteWorkFiles();
  // Writes the settings to config.ini; the first failure of a run is reported.
  void SaveSettings();

  DialogFields& Fields() { return fields_; }
  const DialogFields& Fields() const { return fields_; }
  const JobInfo& GetJobInfo() const { return jobInfo_; }
  // Whether markref.kv was read by Initialise.
  bool MarkRefRead() const { return markRefRead_; }
  // Whether the last PrepareJob could read the job.
  bool JobRead() const { return jobRead_; }
  // Why the last PrepareJob could not write the work files; empty when it
  // could, or when what failed was no write.
  std::error_code WorkFilesError() const { return workFilesError_; }
  // Why the last GenerateOutput failed, when a write failed.
  std::error_code OutputError() const { return outputError_; }
  // Why the last Start opened no link, in the system's words, when known.
  const std::string& LinkError() const { return linkError_; }
  // Whether the last PrepareJob stopped at a section count above 50.
  bool SectionCountRefused() const { return !splitter_.SectionCountAccepted(); }
  const CPLTFile& PreparedJob() const { return job_; }
  // What the drawing read by the last PrepareJob uses that the reader does not read as drawn.
  const DrawingFindings& GetDrawingFindings() const { return splitter_.Findings(); }
  const WorkDir& GetWorkDir() const { return workDir_; }
  double EffectiveOffset() const { return effectiveOffset_; }
  double EffectiveClosure() const { return effectiveClosure_; }
  // Whether the last GenerateOutput took the compensated path.
  bool LastOutputCompensated() const { return lastCompensated_; }
  // The file the last export wrote or tried to write.
  const std::string& LastOutputPath() const { return lastOutputPath_; }
  Language GetLanguage() const { return language_; }

 private:
  void ShowError(const std::string& text) { host_.MessageBox(text, DialogHost::MessageKind::Error); }
  // PrepareJob for the fields `fields`, on a worker or the user-interface thread.
  bool PrepareJob(const DialogFields& fields);
  // What the preparation left: whether the job can be output once prepared.
  JobOutput PreparationOutcome(bool prepared) const;
  void ComputeEffectiveCompensation();
  void EnableCompensationEdits();
  bool WriteOutput(const std::string& path);
  // The message for a failed GenerateOutput of `path`.
  void ShowOutputFailure(const std::string& path);
  // How the prepared job is ordered: as drawn, reordered with paths turned,
  // or reordered with every path kept as drawn (dashes are laid from a
  // path's start).
  enum class CutOrder { Drawn, Turned, Kept };
  static CutOrder WantedOrder(const Settings& s);
  CutOrder WantedOrder() const { return WantedOrder(fields_.settings); }
  void OrderPreparedJob(const Settings& s);
  // The mark values, section window, job length and measured marks for
  // the writers.
  CutParams OutputParams() const;
  // Where the job's points are kept: a large job goes on in a scratch file
  // in the work directory.
  PointRecord::Options RecordOptions() const;
  uint8_t LastSection() const;
  void ListPorts();
  void EnableIpControls();
  // The selected port list entry; the first entry for a selection beyond the list.
  size_t SelectedIndex() const;
  bool OpenLink();
  bool AlignMarks();
  void SendJobThread(LinkState link);
  void OnSendFinished();
  void StopSend();
  // Waits at most `grace` for SendJobThread to end; true when it has.
  bool AwaitSendEnd(std::chrono::milliseconds grace);
  void ShowReady();

  DialogHost& host_;
  ProfilePort& profile_;
  LinkPort& link_;
  WorkDir workDir_;
  Language language_;
  Notify notify_;

  DialogFields fields_;
  JobInfo jobInfo_;
  CPltMultiSection splitter_;
  CPLTFile job_;
  // The prepared job as kavren.kv2 holds it, for the compensated output.
  std::shared_ptr<const PointSource> savedPoints_;
  MarkCorrection markCorrection_{};
  bool marksMeasured_ = false;
  bool markRefRead_ = false;
  bool jobRead_ = false;
  // Written by PrepareJob, read on the user-interface thread when no worker runs.
  JobOutput preparation_ = JobOutput::NotPrepared;
  bool outputWritten_ = false;
  bool settingsSaveReported_ = false;
  std::error_code workFilesError_;
  std::error_code outputError_;
  std::string linkError_;
  // The plain path moves the prepared job itself; a second output must start
  // again from the prepared geometry.
  bool jobGeometryApplied_ = false;
  CutOrder preparedOrder_ = CutOrder::Drawn;
  double sortBudget_ = 1.0;
  std::optional<JobOrderStats> orderStats_;
  std::atomic<bool> cancelFlag_ = false;
  std::atomic<bool> draining_ = false;  // the send thread waits for the link to drain

  LinkState linkState_;
  std::vector<std::string> usbPaths_;
  std::vector<std::string> portList_;

  std::thread worker_;  // PrepareJobThread or SendJobThread, one at a time
  bool jobReady_ = false;
  bool preparing_ = false;  // PrepareJobThread runs, or its WM_JOB_PREPARED waits
  bool sending_ = false;
  bool lastSendFailed_ = false;
  // Written by SendJobThread before it posts WM_SEND_FINISHED, read after the join.
  SendEnd sendEnd_ = SendEnd::Finished;
  std::mutex sendEndMutex_;
  std::condition_variable sendEndChanged_;
  bool sendEnded_ = false;  // SendJobThread has ended its send

  double effectiveOffset_ = 0.0;
  double effectiveClosure_ = 0.0;
  bool lastCompensated_ = false;
  std::string lastOutputPath_;
  // kavren.kv2, written from a copy of the prepared job; last, so that it is
  // waited for before anything else goes.
  BackgroundWrite workFileWrite_;
  bool workFileWriteFailed_ = false;  // AwaitWorkFiles found it failed
};

}  // namespace plotsend
