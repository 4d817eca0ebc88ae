// Benchmark of the XML document component on a generated workspace-like
// document of about 10 MB: parse (with pugixml's load_buffer on the same
// bytes as the yardstick), file load, a 50-edit toolbar session, and save;
// then adding and removing many children of one element, whose times must
// grow in step with the number of children.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "xml/xml_document.h"

using Clock = std::chrono::steady_clock;
using barsetup::CXmlDocument;

namespace {

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string Guid(unsigned n) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%08x-%04x-%04x-%04x-%012x", n * 2654435761u, n & 0xFFFF, (n >> 3) & 0xFFFF,
                (n * 7) & 0xFFFF, n * 40503u);
  return buf;
}

// CorelDRAW-style UI configuration: item definitions with attributes and
// base64 bitmaps, command bars with items, and a frame of dock bars.
std::string Workspace(size_t targetBytes) {
  std::string t;
  t.reserve(targetBytes + 4096);
  t += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<uiConfig xmlns=\"http://www.corel.com/2008/uiConfig\">\r\n";
  t += "  <frame>\r\n";
  for (int d = 0; d < 5; ++d) {
    t += "    <dockBar type=\"dock\" name=\"dock" + std::to_string(d) + "\">\r\n      <cmdBarLane>\r\n";
    for (int b = 0; b < 4; ++b) {
      t +=
          "        <commandBar guidRef=\"" + Guid(d * 10 + b) + "\" floatX=\"10\" floatY=\"20\" visible=\"true\"/>\r\n";
    }
    t += "      </cmdBarLane>\r\n    </dockBar>\r\n";
  }
  t += "  </frame>\r\n  <commandBars>\r\n";
  const std::string bitmap(96, 'Q');
  unsigned n = 1000;
  const size_t commandBarsEnd = targetBytes / 3;
  while (t.size() < commandBarsEnd) {
    ++n;
    t += "    <commandBarData guid=\"" + Guid(n) + "\" nonLocalizableName=\"Bar " + std::to_string(n) +
         "\" userCaption=\"Toolbar &amp; more\" type=\"toolbar\">\r\n      <toolbar>\r\n";
    for (int k = 0; k < 8; ++k) t += "        <item guidRef=\"" + Guid(n + k) + "\" showText=\"false\"/>\r\n";
    t += "      </toolbar>\r\n    </commandBarData>\r\n";
  }
  t += "  </commandBars>\r\n  <items>\r\n";
  while (t.size() < targetBytes) {
    ++n;
    t +=
        "    <itemData guid=\"" + Guid(n) + "\" type=\"button\" dynamicCommand=\"Macro" + std::to_string(n) +
        "\" dynamicCategory=\"2cc24a3e-fe24-4708-9a74-9c75406eebcd\" enable=\"*Bind(DataSource=WAppDataSource;Path=Active)\">\r\n"
        "      <userSmallBitmap xmlns:dt=\"urn:schemas-microsoft-com:datatypes\" dt:dt=\"bin.base64\">" +
        bitmap + "</userSmallBitmap>\r\n    </itemData>\r\n";
  }
  t += "  </items>\r\n</uiConfig>\r\n";
  return t;
}

template <typename F>
double Best(int runs, F&& f) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    auto t0 = Clock::now();
    f();
    best = std::min(best, Seconds(Clock::now() - t0));
  }
  return best;
}

struct ManyChildren {
  double add = 0, remove = 0;
  bool consistent = false;
};

// Adds n children to one element, each after the one before, then removes
// them again from the first on.
ManyChildren AddAndRemoveChildren(int n) {
  ManyChildren r;
  CXmlDocument doc("<root>\r\n</root>\r\n");
  doc.FindElement("root");
  auto t0 = Clock::now();
  for (int k = 0; k < n; ++k) doc.AddElement("item", nullptr, barsetup::kAddChild);
  r.add = Seconds(Clock::now() - t0);
  CXmlDocument check;
  check.ParseText(doc.Text());
  r.consistent = check.ElementCount() == static_cast<size_t>(n) + 1;
  doc.RewindElements();
  doc.FindElement("root");
  doc.EnterElement();
  t0 = Clock::now();
  for (int k = 0; k < n && doc.FindElement(); ++k) doc.RemoveElement();
  r.remove = Seconds(Clock::now() - t0);
  r.consistent = r.consistent && doc.ElementCount() == 1 && doc.Text() == "<root>\r\n</root>\r\n";
  return r;
}

}  // namespace

int main() {
  const std::string text = Workspace(10u << 20);
  const double mb = static_cast<double>(text.size()) / (1 << 20);
  char dirTemplate[] = "/tmp/xml_bench_XXXXXX";
  const char* dir = mkdtemp(dirTemplate);
  if (dir == nullptr) return 1;
  const std::string path = std::string(dir) + "/workspace.xml";
  std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));

  size_t elements = 0;
  const double parse = Best(7, [&] {
    CXmlDocument doc;
    doc.ParseText(text);
    elements = doc.ElementCount();
  });
  size_t pugiNodes = 0;
  const double pugi = Best(7, [&] {
    pugi::xml_document doc;
    pugi::xml_parse_result r = doc.load_buffer(text.data(), text.size());
    pugiNodes = r ? 1 : 0;
  });
  const double load = Best(7, [&] {
    CXmlDocument doc;
    doc.LoadFile(path);
  });

  // A toolbar session: navigate, add, set attributes and content, remove.
  CXmlDocument doc;
  doc.LoadFile(path);
  std::vector<double> editTimes;
  auto edit = [&](auto&& op) {
    auto t0 = Clock::now();
    const bool ok = op();
    editTimes.push_back(Seconds(Clock::now() - t0));
    if (!ok) std::fprintf(stderr, "edit %zu failed\n", editTimes.size());
  };
  doc.RewindElements();
  doc.FindElement("uiConfig");
  doc.EnterElement();
  doc.FindElement("frame");
  doc.EnterElement();
  doc.FindElement("dockBar");
  doc.EnterElement();
  doc.FindElement("cmdBarLane");
  doc.EnterElement();
  edit([&] { return doc.AddElement("commandBar"); });
  edit([&] { return doc.SetAttribute("guidRef", "b3c8ad6c-1e2f-4c4d-8f3a-5a6b7c8d9e0f"); });
  edit([&] { return doc.SetAttribute("floatX", "120"); });
  edit([&] { return doc.SetAttribute("floatY", "80"); });
  edit([&] { return doc.SetAttribute("visible", "true"); });
  doc.LeaveElement();
  doc.LeaveElement();
  doc.LeaveElement();
  doc.FindElement("commandBars");
  doc.EnterElement();
  doc.FindElement("commandBarData");
  edit([&] { return doc.AddElement("commandBarData"); });
  edit([&] { return doc.SetAttribute("guid", "5f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"); });
  edit([&] { return doc.SetAttribute("userCaption", "Plotara"); });
  edit([&] { return doc.SetAttribute("type", "toolbar"); });
  doc.EnterElement();
  edit([&] { return doc.AddElement("toolbar"); });
  doc.EnterElement();
  for (int k = 0; k < 6; ++k) {
    edit([&] { return doc.AddElement("item"); });
    edit([&] { return doc.SetAttribute("guidRef", Guid(900000 + k)); });
  }
  doc.LeaveElement();
  doc.LeaveElement();
  doc.LeaveElement();
  doc.FindElement("items");
  doc.EnterElement();
  for (int k = 0; k < 5; ++k) {
    edit([&] { return doc.AddElement("itemData"); });
    edit([&] { return doc.SetAttribute("guid", Guid(900000 + k)); });
    doc.EnterElement();
    edit([&] { return doc.AddElement("userSmallBitmap"); });
    edit([&] { return doc.SetContent(std::string(600, 'A')); });
    doc.LeaveElement();
  }
  // Removals spread through the item definitions.
  doc.RewindElements();
  int removed = 0;
  for (int seen = 0; editTimes.size() < 50 && doc.FindElement("itemData"); ++seen) {
    if (seen % 97 == 0) {
      edit([&] { return doc.RemoveElement(); });
      ++removed;
    }
  }
  const size_t editCount = editTimes.size();
  double editTotal = 0, editMax = 0;
  for (double t : editTimes) {
    editTotal += t;
    editMax = std::max(editMax, t);
  }

  const std::string out = std::string(dir) + "/saved.xml";
  const double save = Best(5, [&] { doc.SaveFile(out); });

  CXmlDocument check;
  check.ParseText(doc.Text());
  const bool consistent = check.ElementCount() == doc.ElementCount();

  std::printf("document            %.2f MB, %zu elements\n", mb, elements);
  std::printf("ParseText           %8.2f ms  %8.1f MB/s\n", parse * 1e3, mb / parse);
  std::printf("pugixml load_buffer %8.2f ms  %8.1f MB/s%s\n", pugi * 1e3, mb / pugi, pugiNodes ? "" : " (failed)");
  std::printf("LoadFile            %8.2f ms  %8.1f MB/s\n", load * 1e3, mb / load);
  std::printf("edits               %zu, mean %.3f ms, max %.3f ms (%zu removals)\n", editCount,
              editTotal / static_cast<double>(editCount) * 1e3, editMax * 1e3, static_cast<size_t>(removed));
  std::printf("SaveFile            %8.2f ms  %8.1f MB/s\n", save * 1e3, mb / save);
  std::printf("index after edits   %s\n", consistent ? "matches a fresh parse" : "DIFFERS from a fresh parse");

  // Many children: each doubling of n should about double the times.
  const int counts[] = {20000, 40000, 80000};
  ManyChildren many[3];
  bool manyConsistent = true;
  for (int i = 0; i < 3; ++i) {
    many[i] = AddAndRemoveChildren(counts[i]);
    for (int run = 1; run < 3; ++run) {  // the best of three
      const ManyChildren again = AddAndRemoveChildren(counts[i]);
      many[i].add = std::min(many[i].add, again.add);
      many[i].remove = std::min(many[i].remove, again.remove);
      many[i].consistent = many[i].consistent && again.consistent;
    }
    manyConsistent = manyConsistent && many[i].consistent;
    std::printf("%5d children       add %8.2f ms, remove %8.2f ms%s\n", counts[i], many[i].add * 1e3,
                many[i].remove * 1e3, many[i].consistent ? "" : " (index DIFFERS)");
  }
  std::printf("80k / 20k           add x%.1f, remove x%.1f (linear: x4)\n", many[2].add / many[0].add,
              many[2].remove / many[0].remove);
  std::remove(out.c_str());
  std::remove(path.c_str());
  rmdir(dir);
  const bool manyFast = many[2].add < 0.1 && many[2].remove < 0.1;
  return consistent && manyConsistent && manyFast && editMax < 1e-3 && parse <= pugi ? 0 : 2;
}
