#include "cli/run.h"

#include <cstdio>

#include "app/make_job.h"
#include "app/texts.h"
#include "cli/options.h"
#include "common/default_work_dir.h"
#include "work/work_dir.h"

namespace plotmark {

int RunPlotmark(const std::vector<std::string>& args, SheetRenderer& renderer) {
  const Language language = SystemLanguage();
  CliError error;
  std::optional<CliOptions> options = ParseCommandLine(args, error);
  if (!options) {
    std::fprintf(stderr, "plotmark: %s\n%s", Say(error.id, language, {error.arg1, error.arg2}).c_str(),
                 TextOf(TextId::Usage, language).c_str());
    return 2;
  }
  if (options->help) {
    std::fputs(TextOf(TextId::Usage, language).c_str(), stdout);
    return 0;
  }
  options->request.workDir = WithSeparator(options->workDir.value_or(plotara::DefaultWorkDir()));
  if (options->start && CanStartPlotsend() && !SameDirectoryName(options->request.workDir, plotara::DefaultWorkDir())) {
    std::fprintf(
        stderr, "plotmark: %s\n",
        Say(TextId::StartOtherWorkDir, language, {plotara::DefaultWorkDir(), options->request.workDir}).c_str());
    return 2;
  }
  options->request.progress = [](const std::string& step) {
    std::printf("%s\n", step.c_str());
    std::fflush(stdout);
  };
  const JobReport report = MakeJob(options->request, renderer, language);
  if (!report.ok) {
    std::fprintf(stderr, "plotmark: %s\n", report.error.c_str());
    return 1;
  }
  for (const std::string& line : report.lines) std::printf("%s\n", line.c_str());
  for (const std::string& w : report.warnings) std::printf("%s\n", Say(TextId::SummaryWarning, language, {w}).c_str());
  if (options->start) {
    std::string program;
    if (StartPlotsend(program)) {
      std::printf("%s\n", Say(TextId::SummaryStarted, language, {program}).c_str());
    } else if (program.empty()) {
      std::fprintf(stderr, "plotmark: %s\n",
                   Say(TextId::StartUnavailable, language, {options->request.workDir}).c_str());
      return 1;
    } else {
      std::fprintf(stderr, "plotmark: %s\n", Say(TextId::StartFailed, language, {program}).c_str());
      return 1;
    }
  }
  std::fflush(stdout);
  return 0;
}

}  // namespace plotmark
