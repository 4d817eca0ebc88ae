// Benchmark of the toolbar passes on a 5 MB workspace document: the
// addition and the removal on a parsed document, and each as a whole file
// pass (load, edit, save). Times are the best and the median of 9 runs.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "workspace/toolbar_edit.h"
#include "workspace/toolbar_file.h"
#include "workspace/workspace_samples.h"
#include "xml/xml_document.h"

using namespace barsetup;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 9;

struct Timing {
  double best, median;
};

// Runs prepare (untimed) then op (timed) kRuns times.
template <typename Prepare, typename Op>
Timing Measure(Prepare&& prepare, Op&& op) {
  std::vector<double> ms;
  for (int i = 0; i < kRuns; ++i) {
    prepare();
    const auto t0 = Clock::now();
    op();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  return {ms.front(), ms[ms.size() / 2]};
}

void Report(const char* what, Timing t, bool ok) {
  std::printf("  %-40s best %7.2f ms  median %7.2f ms%s\n", what, t.best, t.median, ok ? "" : "  (FAILED)");
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

int main() {
  char dirTemplate[] = "/tmp/workspace_bench_XXXXXX";
  const char* dir = mkdtemp(dirTemplate);
  if (dir == nullptr) return 1;
  const std::string path = std::string(dir) + "/workspace.xml";
  int failures = 0;

  for (int version : {17, 18}) {
    const std::string original = SampleUiConfig(version, 5u << 20);
    CXmlDocument probe;
    probe.ParseText(original);
    std::printf("version %d: %.2f MB, %zu elements\n", version, static_cast<double>(original.size()) / (1 << 20),
                probe.ElementCount());

    CXmlDocument doc;
    ToolbarChanges changes;
    bool ok = true;
    // The XML component's own share of a file pass, for comparison.
    Report("ParseText", Measure([] {}, [&] { doc.ParseText(original); }), true);
    WriteFile(path, original);
    bool io = true;
    Report("LoadFile", Measure([] {}, [&] { io = doc.LoadFile(path) && io; }), io);
    Report("SaveFile", Measure([] {}, [&] { io = doc.SaveFile(path) && io; }), io);
    failures += !io;

    const Timing add = Measure([&] { doc.ParseText(original); },
                               [&] { ok = AddToolbar(doc, StandardVariant(), version, "KV", changes) && ok; });
    ok = ok && changes.itemDefinitionsAdded == 6 && changes.hostItemsAdded == 7;
    Report("AddToolbar (parsed document)", add, ok);
    failures += !ok;
    const std::string added = doc.Text();

    ok = true;
    const Timing remove =
        Measure([&] { doc.ParseText(added); }, [&] { ok = RemoveToolbar(doc, StandardVariant(), changes) && ok; });
    ok = ok && doc.Text() == original;
    Report("RemoveToolbar (parsed document)", remove, ok);
    failures += !ok;

    ok = true;
    const Timing addFile = Measure(
        [&] { WriteFile(path, original); },
        [&] { ok = AddToolbarFile(path, StandardVariant(), version, "KV").status == PassStatus::kSaved && ok; });
    Report("AddToolbarFile (load, add, save)", addFile, ok);
    failures += !ok;

    ok = true;
    const Timing removeFile =
        Measure([&] { WriteFile(path, added); },
                [&] { ok = RemoveToolbarFile(path, StandardVariant()).status == PassStatus::kSaved && ok; });
    Report("RemoveToolbarFile (load, remove, save)", removeFile, ok);
    failures += !ok;
  }
  unlink(path.c_str());
  rmdir(dir);
  return failures == 0 ? 0 : 1;
}
