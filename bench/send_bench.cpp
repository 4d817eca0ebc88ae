// send_bench: streams a large device command file to the stand-in cutter
// over loopback TCP through the send loop and link the program uses (99-byte
// chunks, progress, cancel polling), and reports MB/s and this side's CPU
// seconds per MB. Usage: send_bench CUTTER_EMU [--mb N]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include <sys/resource.h>

#include "app/mapped_file.h"
#include "app/send_job.h"
#include "bench/job_generator.h"
#include "job/cut_writers.h"
#include "job/multi_section.h"
#include "job/plt_file.h"
#include "link/link_state.h"

namespace fs = std::filesystem;
using namespace plotsend;

namespace {

class NoProgress : public SendProgress {
 public:
  void Start(uint32_t) override {}
  void Step() override {}
  void Count(uint64_t) override {}
};

// A command file of about `mb` MB: a generated job through the section
// stage and the plain writer.
bool MakeCommandFile(double mb, const fs::path& dir, fs::path& out) {
  JobGenOptions gen;
  gen.targetBytes = static_cast<size_t>(mb * 1e6);
  const fs::path plt = dir / "job.plt";
  if (!WriteJobFile(plt.string(), gen)) return false;
  const fs::path mplt = dir / "job_m.plt";
  CPltMultiSection sections;
  sections.SetSourcePath(plt.string());
  if (sections.ProcessSections(mplt.string()) != 1) return false;
  CPLTFile job;
  if (job.LoadPlt(mplt.string()) != 1) return false;
  job.ComputeBounds();
  out = dir / "job.kv3";
  plotsend::CutParams params;
  params.jobLength = job.JobLength();
  return plotsend::WriteCutFile(job, params, out.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: send_bench CUTTER_EMU [--mb N]\n", stderr);
    return 2;
  }
  double mb = 50;
  if (argc == 4 && std::string(argv[2]) == "--mb") mb = std::stod(argv[3]);
  const fs::path dir = fs::temp_directory_path() / ("plotara-send-bench-" + std::to_string(::time(nullptr)));
  fs::create_directories(dir);
  fs::path kv3;
  if (!MakeCommandFile(mb, dir, kv3) || fs::file_size(kv3) == 0) {
    std::fputs("send_bench: cannot make the command file\n", stderr);
    return 1;
  }
  const std::string command = std::string(argv[1]) + " --port 0 --idle-timeout 30 2>" + (dir / "emu.err").string();
  std::FILE* emu = popen(command.c_str(), "r");
  unsigned port = 0;
  if (emu == nullptr || std::fscanf(emu, "%u", &port) != 1) {
    std::fputs("send_bench: the stand-in cutter did not start\n", stderr);
    return 1;
  }

  const auto link = MakeLinkPort();
  LinkState state;
  const auto job = MapFileReadOnly(kv3.string());
  if (!job || !ConnectTcp(*link, state, Ipv4Address{{127, 0, 0, 1}}, static_cast<int32_t>(port))) {
    std::fputs("send_bench: cannot reach the stand-in cutter\n", stderr);
    return 1;
  }
  NoProgress progress;
  std::atomic<bool> cancel = false;
  const std::clock_t c0 = std::clock();
  rusage r0{};
  getrusage(RUSAGE_SELF, &r0);
  const auto t0 = std::chrono::steady_clock::now();
  const SendOutcome outcome = SendJob(
      job->Bytes(), [&](const uint8_t* b, size_t n) { return WriteLink(*link, state, b, n); }, progress, cancel);
  CloseTcp(*link, state);
  const int emuStatus = pclose(emu);  // waits until the stand-in has taken it all
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  rusage r1{};
  getrusage(RUSAGE_SELF, &r1);
  auto secondsOf = [](const timeval& a, const timeval& b) {
    return static_cast<double>(b.tv_sec - a.tv_sec) + static_cast<double>(b.tv_usec - a.tv_usec) / 1e6;
  };
  const double user = secondsOf(r0.ru_utime, r1.ru_utime);
  const double system = secondsOf(r0.ru_stime, r1.ru_stime);
  const double size = static_cast<double>(job->Bytes().size()) / 1e6;

  std::printf(
      "streamed %.1f MB in 99-byte chunks over 127.0.0.1 in %.2f s: %.1f MB/s; this side %.4f CPU s/MB "
      "(%.0f MB/s of CPU; %.0f%% of it in the kernel's send calls)%s\n",
      size, seconds, size / seconds, cpu / size, size / cpu, cpu > 0 ? 100 * system / (user + system) : 0,
      outcome == SendOutcome::Finished && emuStatus == 0 ? "" : "  FAILED");
  std::error_code ec;
  fs::remove_all(dir, ec);
  return outcome == SendOutcome::Finished && emuStatus == 0 ? 0 : 1;
}
