#include "app/cli/cli_failure.h"

#include <cstdio>

namespace plotsend {

int Fail(const std::string& message, int status) {
  std::fprintf(stderr, "plotsend: %s\n", message.c_str());
  return status;
}

int RefuseOutput(const CPlotsendDlg& dlg, Language language) {
  const WorkDir& workDir = dlg.GetWorkDir();
  switch (dlg.CanOutput()) {
    case CPlotsendDlg::JobOutput::Ready:
    case CPlotsendDlg::JobOutput::Busy:
    case CPlotsendDlg::JobOutput::NotPrepared: return 0;
    case CPlotsendDlg::JobOutput::MarkRefUnreadable:
      // Without its mark values the job would be cut in the wrong place:
      // stop before it is prepared and leave every file as it is.
      return Fail(Text(TextId::MarkRefUnreadable, language) + ": " + workDir.MarkRefKv(), 1);
    case CPlotsendDlg::JobOutput::SectionCountRefused: return 1;  // the one real cause has been reported
    case CPlotsendDlg::JobOutput::WorkFilesUnwritten:
      return Fail(WithReason("cannot write the work files in " + workDir.Dir(), dlg.WorkFilesError()), 1);
    case CPlotsendDlg::JobOutput::JobUnreadable:
      return Fail(Text(TextId::JobUnreadable, language) + ": " + workDir.KavrenPlt(), 1);
  }
  return 1;
}

}  // namespace plotsend
