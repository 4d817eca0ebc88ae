// job_bench: throughput of each job-preparation stage on a generated job.
//
// Generates a kavren.plt of --mb MiB into a scratch directory and times, best
// of --runs: the section stage (one and several sections), load + bounds +
// origin move + kavren.kv2, the plain command file and the compensated one.
// Every stage also runs on a second generated job of the same size, a long
// one whose paths run across the bands (weeding lines, long outlines,
// zig-zags), which in several sections becomes many times its input.
// Prints MiB/s per stage, each stage's own peak memory and the process peak.
// End to end, it times `plotsend export` of the job in --sections sections,
// compensated, as a child process beside `cp` of the same file, and the same
// preparation and export in this process as it ran when each stage read the
// work file of the one before and as it runs now, parsing the drawing once.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <future>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "bench/child_run.h"
#include "bench/job_generator.h"
#include "bench/peak_memory.h"
#include "job/cut_writers.h"
#include "job/multi_section.h"
#include "job/plt_file.h"
#include "job/point_record.h"

namespace fs = std::filesystem;
using plotsend::CPLTFile;
using plotsend::CPltMultiSection;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kSlowMiBs = 100.0;
constexpr double kMaxPeakRatio = 4.0;
// The sheet of the across-bands job: 7.5 m along the feed axis, so that even
// 50 sections are 150 mm wide and paths are cut at their borders.
constexpr int32_t kAcrossSheetHeight = 300000;

struct Options {
  double mb = 100;
  uint64_t seed = 1;
  int runs = 2;
  int sections = 4;
  std::string dir;                          // scratch directory; a fresh temporary one when empty
  std::string input;                        // an existing kavren.plt instead of a generated one
  std::string plotsend = PLOTARA_PLOTSEND;  // the terminal plotsend for the end-to-end run
  bool keep = false;
};

struct Stage {
  std::string name;
  double seconds = 0;     // best run, wall clock
  double cpuSeconds = 0;  // best run, processor time (steadier on a busy machine)
  uint64_t bytes = 0;     // what the rate is measured on
  int64_t peak = 0;       // highest resident size seen during the stage
  bool ok = true;
  std::string detail;  // sub-step timings
};

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

uint64_t FileSize(const fs::path& p) {
  std::error_code ec;
  const auto n = fs::file_size(p, ec);
  return ec ? 0 : static_cast<uint64_t>(n);
}

template <typename T>
bool ParseNumber(std::string_view text, T& out) {
  const auto res = std::from_chars(text.data(), text.data() + text.size(), out);
  return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

bool ParseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--mb" && hasValue) {
      if (!ParseNumber(argv[++i], o.mb) || o.mb <= 0) return false;
    } else if (arg == "--seed" && hasValue) {
      if (!ParseNumber(argv[++i], o.seed)) return false;
    } else if (arg == "--runs" && hasValue) {
      if (!ParseNumber(argv[++i], o.runs) || o.runs < 1) return false;
    } else if (arg == "--sections" && hasValue) {
      if (!ParseNumber(argv[++i], o.sections) || o.sections < 2) return false;
    } else if (arg == "--dir" && hasValue) {
      o.dir = argv[++i];
    } else if (arg == "--input" && hasValue) {
      o.input = argv[++i];
    } else if (arg == "--plotsend" && hasValue) {
      o.plotsend = argv[++i];
    } else if (arg == "--keep") {
      o.keep = true;
    } else {
      return false;
    }
  }
  return true;
}

std::string Fixed(double v, int decimals) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  return std::string(buf, res.ptr);
}

double Rate(const Stage& s) { return s.seconds > 0 ? s.bytes / kMiB / s.seconds : 0; }
double CpuRate(const Stage& s) { return s.cpuSeconds > 0 ? s.bytes / kMiB / s.cpuSeconds : 0; }

// Flags a stage that is slow, or needs more than 4x the job's input.
void Print(const Stage& s, uint64_t inputBytes) {
  const bool over = static_cast<double>(s.peak) > kMaxPeakRatio * static_cast<double>(inputBytes);
  std::printf("%-36s %7s MiB %7s s %8s MiB/s  cpu %7s s %8s MiB/s %8s MiB peak%s%s%s\n", s.name.c_str(),
              Fixed(s.bytes / kMiB, 1).c_str(), Fixed(s.seconds, 3).c_str(), Fixed(Rate(s), 1).c_str(),
              Fixed(s.cpuSeconds, 3).c_str(), Fixed(CpuRate(s), 1).c_str(), Fixed(s.peak / kMiB, 1).c_str(),
              s.ok ? "" : "  FAILED", s.ok && Rate(s) < kSlowMiBs ? "  SLOW" : "", over ? "  OVER 4x" : "");
  if (!s.detail.empty()) std::printf("    %s\n", s.detail.c_str());
}

// Runs `body` `runs` times; keeps the best time and the highest stage peak.
template <typename Body>
void Measure(Stage& s, int runs, Body body) {
  s.seconds = 0;
  for (int r = 0; r < runs; ++r) {
    plotsend::ResetStagePeak();
    const std::clock_t c0 = std::clock();
    const auto t0 = Clock::now();
    const bool ok = body(r);
    const double t = Since(t0);
    const double c = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
    s.ok = s.ok && ok;
    s.seconds = r == 0 ? t : std::min(s.seconds, t);
    s.cpuSeconds = r == 0 ? c : std::min(s.cpuSeconds, c);
    s.peak = std::max(s.peak, plotsend::StagePeakRss());
  }
}

// The stages after the section stage on its output `mplt`: load + bounds +
// origin move + kavren.kv2, the plain command file (from the same object,
// as the dialog keeps it) and the compensated one (from kavren.kv2).
void RunJobStages(const std::string& label, const fs::path& mplt, const fs::path& dir, int runs,
                  const plotsend::Notify& notify, std::vector<Stage>& stages) {
  const fs::path kv2 = dir / "kavren.kv2";
  const fs::path kv3 = dir / "kavren.kv3";
  const fs::path kv3c = dir / "kavren_comp.kv3";
  std::unique_ptr<CPLTFile> job;
  int32_t jobLength = 0;
  {
    Stage s;
    s.name = label + "load+normalise+kv2";
    s.bytes = FileSize(mplt);
    double load = 0, bounds = 0, move = 0, save = 0;
    Measure(s, runs, [&](int r) {
      job = std::make_unique<CPLTFile>(notify);
      auto t = Clock::now();
      const bool loaded = job->LoadPlt(mplt.string()) == 1;
      const double tl = Since(t);
      t = Clock::now();
      job->ComputeBounds();
      const double tb = Since(t);
      t = Clock::now();
      const plotsend::Bounds b = job->GetBounds();
      job->MoveToOrigin(b.minX, b.minY);
      const double tm = Since(t);
      t = Clock::now();
      const bool saved = job->SaveNormalizedPlt(kv2.string(), plotsend::MarkRef{}) == 1;
      const double ts = Since(t);
      if (r == 0 || tl + tb + tm + ts < load + bounds + move + save) {
        load = tl, bounds = tb, move = tm, save = ts;
      }
      return loaded && saved;
    });
    jobLength = job->JobLength();
    s.detail = "LoadPlt " + Fixed(load, 3) + " s, ComputeBounds " + Fixed(bounds, 3) + " s, MoveToOrigin " +
               Fixed(move, 3) + " s, SaveNormalizedPlt " + Fixed(save, 3) + " s; kv2 " +
               Fixed(FileSize(kv2) / kMiB, 1) + " MiB";
    stages.push_back(s);
  }
  {
    Stage s;
    s.name = label + "command file plain";
    plotsend::CutParams params;
    params.jobLength = jobLength;
    Measure(s, runs, [&](int) { return plotsend::WriteCutFile(*job, params, kv3.string()); });
    s.bytes = FileSize(kv3);
    stages.push_back(s);
  }
  job.reset();
  {
    Stage s;
    s.name = label + "command file compensated";
    double load = 0, write = 0;
    Measure(s, runs, [&](int r) {
      CPLTFile comp(notify);
      auto t = Clock::now();
      const bool loaded = comp.LoadPlt(kv2.string()) == 1;
      const double tl = Since(t);
      plotsend::CutParams params;
      params.jobLength = jobLength;
      params.SetCompensation(0.35, 0.35);
      t = Clock::now();
      const bool written = plotsend::WriteCompensatedCutFile(comp, params, kv3c.string()) == 1;
      const double tw = Since(t);
      if (r == 0 || tl + tw < load + write) load = tl, write = tw;
      return loaded && written;
    });
    s.bytes = FileSize(kv3c);
    s.detail = "LoadPlt(kv2) " + Fixed(load, 3) + " s, WriteCompensatedCutFile " + Fixed(write, 3) + " s (" +
               Fixed(write > 0 ? s.bytes / kMiB / write : 0, 1) + " MiB/s writing alone)";
    stages.push_back(s);
  }
  std::error_code ec;
  for (const fs::path& f : {kv2, kv3, kv3c}) fs::remove(f, ec);
}

// The job description of the end-to-end runs: mark type 3, the sections asked for.
plotsend::MarkRef EndToEndMark(int sections) {
  plotsend::MarkRef mark;
  mark.MarkSpanX = 50000;
  mark.MarkSpanY = 30000;
  mark.MarkMargin = 400;
  mark.MarkType = 3;
  mark.SectionCount = static_cast<uint8_t>(sections);
  return mark;
}

plotsend::CutParams CompensatedParams(const plotsend::MarkRef& mark, int32_t jobLength) {
  plotsend::CutParams params;
  params.mark = mark;
  params.window = {1, mark.SectionCount};
  params.jobLength = jobLength;
  params.SetCompensation(0.35, 0.35);
  return params;
}

// The dialog's preparation and compensated export as they ran when every
// stage read back the work file that the stage before had written.
bool ExportRereading(const fs::path& plt, const fs::path& dir, const plotsend::MarkRef& mark,
                     const plotsend::Notify& notify) {
  CPltMultiSection ms(notify);
  ms.SetSourcePath(plt.string());
  ms.SetSectionCount(mark.SectionCount);
  const std::string mplt = (dir / "kavren_m.plt").string(), kv2 = (dir / "kavren.kv2").string();
  if (ms.ProcessSections(mplt) != 1) return false;
  CPLTFile job(notify);
  if (job.LoadPlt(mplt) != 1) return false;
  job.ComputeBounds();
  job.MoveToOrigin(job.GetBounds().minX, job.GetBounds().minY);
  if (job.SaveNormalizedPlt(kv2, mark) != 1) return false;
  CPLTFile comp(notify);
  if (comp.LoadPlt(kv2) != 1) return false;
  comp.ApplyOriginOffset(0, 0);
  const plotsend::CutParams params = CompensatedParams(mark, job.JobLength());
  return plotsend::WriteCompensatedCutFile(comp, params, (dir / "kavren.kv3").string()) == 1;
}

// The same as it runs now: the drawing parsed once, its points handed on.
// With `secondThread`, kavren.kv2 is written on a second thread while the
// command file is produced, to see what the second core would give.
bool ExportParsingOnce(const fs::path& plt, const fs::path& dir, const plotsend::MarkRef& mark,
                       const plotsend::Notify& notify, bool secondThread = false) {
  CPltMultiSection ms(notify);
  ms.SetSourcePath(plt.string());
  ms.SetSectionCount(mark.SectionCount);
  plotsend::PointRecord::Options options;
  options.scratchDir = dir.string();
  auto points = std::make_shared<plotsend::PointRecord>(options);
  if (ms.ProcessSections((dir / "kavren_m.plt").string(), points.get()) != 1) return false;
  CPLTFile job(notify);
  job.SetRecord(std::move(points));
  job.ComputeBounds();
  job.MoveToOrigin(job.GetBounds().minX, job.GetBounds().minY);
  const auto saveKv2 = [&] { return job.SaveNormalizedPlt((dir / "kavren.kv2").string(), mark) == 1; };
  std::future<bool> kv2;
  if (secondThread) {
    kv2 = std::async(std::launch::async, saveKv2);
  } else if (!saveKv2()) {
    return false;
  }
  CPLTFile comp(notify);
  comp.SetPoints(job.SavedPoints(mark));
  comp.ApplyOriginOffset(0, 0);
  const plotsend::CutParams params = CompensatedParams(mark, job.JobLength());
  const bool written = plotsend::WriteCompensatedCutFile(comp, params, (dir / "kavren.kv3").string()) == 1;
  return (!secondThread || kv2.get()) && written;
}

bool WriteText(const fs::path& path, const std::string& text) {
  std::FILE* f = std::fopen(path.string().c_str(), "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

// `cp` of the job into a work directory, then `plotsend export` of it
// (compensated, in the given sections): the child's time and peak memory.
void RunEndToEnd(const Options& o, const fs::path& plt, const fs::path& dir, std::vector<Stage>& stages) {
  const fs::path work = dir / "e2e";
  const fs::path out = dir / "e2e_out.plt";
  std::error_code ec;
  fs::create_directories(work, ec);
  const plotsend::MarkRef mark = EndToEndMark(o.sections);
  const std::string markref = std::to_string(mark.MarkSpanX) + "," + std::to_string(mark.MarkSpanY) + "," +
                              std::to_string(mark.MarkMargin) + ",3," + std::to_string(o.sections);
  Stage cp, run;
  cp.name = "cp of the input";
  run.name = "plotsend export N=" + std::to_string(o.sections) + " compensated";
  cp.bytes = run.bytes = FileSize(plt);
  for (int r = 0; r < o.runs; ++r) {
    // Only the loopback address, should anything try to connect.
    const bool set =
        WriteText(work / "markref.kv", markref) && WriteText(work / "config.ini",
                                                             "[config]\r\nIP_FIELD_0=127\r\nIP_FIELD_1=0\r\n"
                                                             "IP_FIELD_2=0\r\nIP_FIELD_3=1\r\n");
    const plotsend::ChildRun copied = plotsend::RunChild({"cp", plt.string(), (work / "kavren.plt").string()});
    const plotsend::ChildRun exported = plotsend::RunChild(
        {o.plotsend, "--workdir", work.string(), "--offset", "0.35", "--close", "0.35", "export", out.string()});
    cp.ok = cp.ok && set && copied.ok;
    run.ok = run.ok && exported.ok;
    cp.seconds = r == 0 ? copied.seconds : std::min(cp.seconds, copied.seconds);
    run.seconds = r == 0 ? exported.seconds : std::min(run.seconds, exported.seconds);
    cp.cpuSeconds = cp.seconds;  // a child's processor time is not taken apart here
    run.cpuSeconds = run.seconds;
    cp.peak = std::max(cp.peak, copied.peakRss);
    run.peak = std::max(run.peak, exported.peakRss);
  }
  run.detail = "command file " + Fixed(FileSize(out) / kMiB, 1) + " MiB; " +
               Fixed(run.seconds > 0 ? cp.seconds / run.seconds : 0, 3) + " x the rate of cp; peak " +
               Fixed(cp.bytes > 0 ? static_cast<double>(run.peak) / static_cast<double>(cp.bytes) : 0, 2) + " x input";
  stages.push_back(cp);
  stages.push_back(run);
  fs::remove_all(work, ec);
  fs::remove(out, ec);
}

// The preparation and compensated export in this process, before and after.
void RunExportPipelines(const Options& o, const fs::path& plt, const fs::path& dir, const plotsend::Notify& notify,
                        std::vector<Stage>& stages) {
  const plotsend::MarkRef mark = EndToEndMark(o.sections);
  Stage before, after, threaded;
  before.name = "export, work files read back";
  after.name = "export, parsed once";
  threaded.name = "export, parsed once, kv2 on 2nd thread";
  before.bytes = after.bytes = threaded.bytes = FileSize(plt);
  Measure(before, o.runs, [&](int) { return ExportRereading(plt, dir, mark, notify); });
  const uint64_t kv3 = FileSize(dir / "kavren.kv3");
  Measure(after, o.runs, [&](int) { return ExportParsingOnce(plt, dir, mark, notify); });
  after.ok = after.ok && FileSize(dir / "kavren.kv3") == kv3;
  Measure(threaded, o.runs, [&](int) { return ExportParsingOnce(plt, dir, mark, notify, true); });
  threaded.ok = threaded.ok && FileSize(dir / "kavren.kv3") == kv3;
  after.detail = Fixed(after.seconds > 0 ? before.seconds / after.seconds : 0, 2) + " x the rate before (cpu " +
                 Fixed(after.cpuSeconds > 0 ? before.cpuSeconds / after.cpuSeconds : 0, 2) + " x)";
  threaded.detail = Fixed(threaded.seconds > 0 ? after.seconds / threaded.seconds : 0, 2) +
                    " x the rate on one thread (processor time counts both threads)";
  stages.push_back(before);
  stages.push_back(after);
  stages.push_back(threaded);
  std::error_code ec;
  for (const char* f : {"kavren_m.plt", "kavren.kv2", "kavren.kv3"}) fs::remove(dir / f, ec);
}

fs::path MakeScratchDir(const Options& o) {
  std::error_code ec;
  if (!o.dir.empty()) {
    fs::create_directories(o.dir, ec);
    return o.dir;
  }
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path p = fs::temp_directory_path(ec) / ("plotara-bench-" + std::to_string(rd()));
    if (fs::create_directory(p, ec)) return p;
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (!ParseArgs(argc, argv, opt)) {
    std::fputs(
        "usage: job_bench [--mb N] [--seed S] [--runs R] [--sections N] [--dir D] [--input FILE]\n"
        "                 [--plotsend PATH] [--keep]\n",
        stderr);
    return 2;
  }
  const int64_t baseline = plotsend::ProcessPeakRss();  // program and runtime, before any job data
  const fs::path dir = MakeScratchDir(opt);
  if (dir.empty()) {
    std::fputs("job_bench: cannot create a scratch directory\n", stderr);
    return 1;
  }
  const plotsend::Notify notify = [](plotsend::JobMessage message) {
    std::fprintf(stderr, "job_bench: message box %d\n", static_cast<int>(message));
  };

  const fs::path plt = opt.input.empty() ? dir / "kavren.plt" : fs::path(opt.input);
  const fs::path mplt = dir / "kavren_m.plt";
  const fs::path mpltN = dir / "kavren_m_sections.plt";
  const fs::path across = dir / "kavren_across.plt";
  const fs::path acrossOut = dir / "kavren_across_m.plt";

  if (opt.input.empty()) {
    plotsend::JobGenOptions gen;
    gen.seed = opt.seed;
    gen.targetBytes = static_cast<size_t>(opt.mb * kMiB);
    const auto t0 = Clock::now();
    if (!plotsend::WriteJobFile(plt.string(), gen)) {
      std::fprintf(stderr, "job_bench: cannot write %s\n", plt.string().c_str());
      return 1;
    }
    std::printf("generated %s: %s MiB in %s s\n", plt.string().c_str(), Fixed(FileSize(plt) / kMiB, 1).c_str(),
                Fixed(Since(t0), 2).c_str());
  }
  const uint64_t inputBytes = FileSize(plt);
  std::vector<Stage> stages;

  auto sectionStage = [&](const std::string& name, const fs::path& in, int n, const fs::path& out) {
    Stage s;
    s.name = name + " N=" + std::to_string(n);
    s.bytes = FileSize(in);
    Measure(s, opt.runs, [&](int) {
      CPltMultiSection ms(notify);
      ms.SetSourcePath(in.string());
      ms.SetSectionCount(n);
      return ms.ProcessSections(out.string()) == 1;
    });
    const uint64_t written = FileSize(out);
    const double ratio = s.bytes > 0 ? static_cast<double>(written) / static_cast<double>(s.bytes) : 0;
    s.detail = "output " + Fixed(written / kMiB, 1) + " MiB (" + Fixed(ratio, 1) + " x input, " +
               Fixed(s.seconds > 0 ? written / kMiB / s.seconds : 0, 1) + " MiB/s written)";
    stages.push_back(s);
  };

  // End to end first, while the machine is least warmed by the rest.
  RunEndToEnd(opt, plt, dir, stages);
  RunExportPipelines(opt, plt, dir, notify, stages);

  // Section stage, one section and several.
  for (const int n : {1, opt.sections}) sectionStage("sections", plt, n, n == 1 ? mplt : mpltN);

  // The same on a long job of paths across the bands, of the same size.
  if (opt.input.empty()) {
    plotsend::JobGenOptions gen;
    gen.seed = opt.seed;
    gen.targetBytes = static_cast<size_t>(opt.mb * kMiB);
    gen.sheetHeight = kAcrossSheetHeight;
    gen.shape = plotsend::JobShape::kAcrossBands;
    if (!plotsend::WriteJobFile(across.string(), gen)) {
      std::fprintf(stderr, "job_bench: cannot write %s\n", across.string().c_str());
      return 1;
    }
    for (const int n : {1, opt.sections}) sectionStage("across bands", across, n, acrossOut);
    // The rest of the pipeline on what the section stage made of it: many
    // times the input, which must still pass through in bounded memory.
    RunJobStages("across N=" + std::to_string(opt.sections) + " ", acrossOut, dir, opt.runs, notify, stages);
    std::error_code ec;
    fs::remove(across, ec);
    fs::remove(acrossOut, ec);
  }

  // Load + bounds + origin move + kavren.kv2, then both command files.
  RunJobStages("", mplt, dir, opt.runs, notify, stages);

  // Resetting the stage peaks also resets the process's own high-water mark.
  int64_t peak = plotsend::ProcessPeakRss();
  for (const Stage& s : stages) peak = std::max(peak, s.peak);
  const double ratio = inputBytes > 0 ? static_cast<double>(peak) / static_cast<double>(inputBytes) : 0;
  std::printf("\ninput %s MiB, best of %d run(s)\n", Fixed(inputBytes / kMiB, 1).c_str(), opt.runs);
  for (const Stage& s : stages) Print(s, inputBytes);
  std::printf("peak RSS %s MiB = %s x input%s (%s MiB of it before any job data)\n", Fixed(peak / kMiB, 1).c_str(),
              Fixed(ratio, 2).c_str(), ratio > kMaxPeakRatio ? "  OVER 4x" : "", Fixed(baseline / kMiB, 1).c_str());

  std::string summary = "summary: input " + Fixed(inputBytes / kMiB, 1) + " MiB";
  for (const Stage& s : stages) {
    summary += " | " + s.name + " " + Fixed(Rate(s), 1) + " MiB/s (cpu " + Fixed(CpuRate(s), 1) + ")" +
               (s.ok ? "" : " FAILED");
  }
  summary += " | peak " + Fixed(peak / kMiB, 1) + " MiB (" + Fixed(ratio, 2) + "x)";
  std::printf("%s\n", summary.c_str());

  if (!opt.keep && opt.dir.empty()) {
    std::error_code ec;
    fs::remove_all(dir, ec);
  } else {
    std::printf("files kept in %s\n", dir.string().c_str());
  }
  return 0;
}
