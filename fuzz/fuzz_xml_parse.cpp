// ParseText on arbitrary bytes: the index must stay inside the text and
// agree with its own links; attribute reads must stay in bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "xml/xml_document.h"
#include "xml/xml_file.h"

using namespace barsetup;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  CXmlDocument doc;
  if (size > 0) doc.SetDocFlags(data[0] & 1 ? kDocIgnoreCase : 0);
  const bool wellFormed = doc.ParseText(text);
  const ElementIndex& idx = doc.Index();
  Check(idx[0].length == text.size());
  size_t visited = 0;
  std::vector<int32_t> pending{0};
  while (!pending.empty()) {
    const int32_t p = pending.back();
    pending.pop_back();
    const uint64_t pStart = idx.Start(p);
    const uint64_t pEnd = p == 0 ? text.size() : pStart + idx[p].length;
    Check(pEnd <= text.size());
    if (p != 0) {
      Check(text[pStart] == '<');
      Check(idx[p].startTagLength <= idx[p].length);
      Check(uint64_t{idx[p].startTagLength} + idx[p].endTagLength <= idx[p].length);
    }
    uint64_t lastEnd = pStart;
    int32_t last = 0;
    for (int32_t c = idx[p].firstChild; c != 0; c = idx[c].next) {
      Check(idx[c].parent == p);
      Check(idx.Start(c) >= lastEnd);
      lastEnd = idx.Start(c) + idx[c].length;
      Check(lastEnd <= pEnd);
      Check(last == 0 || idx[c].prev == last);
      last = c;
      ++visited;
      Check(visited < idx.Count());
      pending.push_back(c);
    }
    Check(last == 0 || idx[idx[p].firstChild].prev == last);
  }
  Check(visited == doc.ElementCount());
  Check(!wellFormed || (idx[0].firstChild != 0 && idx[idx[0].firstChild].next == 0));
  // Walk the top level and read attributes of every element found.
  const std::string name = size > 1 ? text.substr(1, data[0] % 8) : std::string();
  while (doc.FindElement()) {
    doc.GetAttribute(name);
    doc.GetAttribute("a");
    if (doc.EnterElement()) {
      while (doc.FindElement()) doc.GetAttribute(name);
      doc.LeaveElement();
    }
  }
  doc.FindElement(name.c_str());
  FindDeclaredEncoding(text);
  return 0;
}
