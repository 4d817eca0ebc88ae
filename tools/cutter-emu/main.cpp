// cutter-emu: a stand-in cutter. Receives jobs on a loopback TCP port or a
// pseudo-terminal, decodes them, and writes a listing and drawings of what
// would have been cut.
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cutter-emu/event_log.h"
#include "cutter-emu/job_report.h"
#include "cutter-emu/options.h"
#include "cutter-emu/png_file.h"
#include "cutter-emu/posix/endpoints.h"
#include "cutter-emu/posix/receive_loop.h"
#include "cutter-emu/session.h"
#include "cutter-emu/sheet_check.h"
#include "cutter-emu/sheet_layout.h"
#include "cutter-emu/sheet_picture.h"
#include "cutter-emu/svg_canvas.h"

namespace cutter_emu {
namespace {

// A small receive buffer makes a stalled reader hold the sender up soon.
constexpr int kStallReceiveBuffer = 4096;

void Say(const std::string& text) { std::fprintf(stderr, "cutter-emu: %s\n", text.c_str()); }

void Announce(const std::string& where) {
  std::printf("%s\n", where.c_str());
  std::fflush(stdout);
}

bool Receive(const Options& o, Session& session) {
  IdleClock clock(o.idleTimeout);
  const UniqueFd stop = OpenStopSignals();
  const Waits waits{clock, stop.Get(), o.readRate};
  std::string error;
  if (o.link == Options::Link::Tcp) {
    UniqueFd listener;
    uint16_t port = 0;
    const int buffer = o.limits.stallAfter ? kStallReceiveBuffer : 0;
    if (!ListenLoopback(o.port, buffer, listener, port, error)) return Say(error), false;
    Announce(std::to_string(port));
    ReceiveTcp(listener, session, waits);
  } else {
    UniqueFd master;
    std::string slave;
    if (!OpenPty(master, slave, error)) return Say(error), false;
    Announce(slave);
    ReceivePty(master, session, waits);
  }
  return true;
}

bool WriteDrawings(const Options& o, const std::vector<JobRecord>& jobs) {
  bool ok = true;
  const int count = static_cast<int>(jobs.size());
  for (int i = 0; i < count; ++i) {
    const JobRecord& job = jobs[static_cast<size_t>(i)];
    const std::string svg = JobFilePath(o.svgPath, i + 1, o.jobs);
    const std::string png = JobFilePath(o.pngPath, i + 1, o.jobs);
    if (!svg.empty() && !WriteSvg(job, o.showTravel, svg)) ok = false, Say("cannot write " + svg);
    if (!png.empty() && !WritePng(job, o.showTravel, png)) ok = false, Say("cannot write " + png);
  }
  return ok;
}

// The sheet's report for each job, and its pictures.
bool ReportSheet(const Options& o, const SheetWatch& watch, const SheetLayout& layout,
                 const std::vector<JobRecord>& jobs) {
  bool ok = true;
  for (const SheetResult& r : watch.Results()) {
    for (const std::string& line : SheetReport(r)) Say(line);
    const std::string png = JobFilePath(o.sheetPngPath, r.job, o.jobs);
    const auto i = static_cast<size_t>(r.job - 1);
    if (!png.empty() && i < jobs.size() && !WriteSheetPng(jobs[i], r, layout, watch.Placement(), png)) {
      ok = false, Say("cannot write " + png);
    }
  }
  if (watch.StatusFailed()) ok = false, Say("cannot write " + o.statusPath);
  return ok;
}

int Run(const Options& o) {
  EventLog log;
  if (!o.logPath.empty() && !log.Open(o.logPath)) return Say("cannot write " + o.logPath), 2;
  Session session(o.jobs, o.limits, log);
  SheetLayout layout;
  std::string error;
  if (!o.sheetPath.empty() && !LoadSheetLayout(o.sheetPath, layout, error)) return Say(error), 2;
  std::unique_ptr<SheetWatch> watch;
  if (!o.sheetPath.empty() || !o.statusPath.empty()) {
    watch = std::make_unique<SheetWatch>(o.sheetPath.empty() ? nullptr : &layout, o.placement, o.statusPath);
    session.Watch(*watch);
  }
  std::ofstream raw;
  if (!o.rawPath.empty()) {
    raw.open(o.rawPath, std::ios::binary | std::ios::trunc);
    if (!raw) return Say("cannot write " + o.rawPath), 2;
    session.CopyRawTo(raw);
  }
  if (!Receive(o, session)) return 2;
  raw.close();
  if (!o.rawPath.empty() && raw.fail()) return Say("cannot write " + o.rawPath), 2;
  const bool logged = log.Close();
  if (!logged) Say("cannot write " + o.logPath);
  const bool drawn = WriteDrawings(o, session.Jobs());
  for (size_t i = 0; i < session.Jobs().size(); ++i) {
    Say(JobReport(session.Jobs()[i], static_cast<int>(i) + 1));
  }
  const bool sheet = watch == nullptr || ReportSheet(o, *watch, layout, session.Jobs());
  if (session.IgnoredBytes() > 0) {
    Say(std::to_string(session.IgnoredBytes()) + " bytes after the last job were ignored");
  }
  if (!logged || !drawn || !sheet) return 2;
  return session.AllComplete() ? 0 : 1;
}

}  // namespace
}  // namespace cutter_emu

int main(int argc, char** argv) {
  using namespace cutter_emu;
  std::signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) {
    std::fprintf(stderr, "cutter-emu: %s\n%s", error.c_str(), UsageText().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  return Run(options);
}
