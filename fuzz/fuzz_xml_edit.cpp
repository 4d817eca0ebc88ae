// Random edit sessions: after any sequence of edits the text parses again to
// the element count the edits imply and, without start-tag-only elements,
// to the very index the edits left. Names are drawn from a list or made of
// input bytes; an edit that is refused must leave text and index as they
// were (checked on the steps the input marks, so that the others keep the
// text's edit gap where the last edit left it).
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "xml/xml_document.h"

using namespace barsetup;

namespace {

class Input {
 public:
  Input(const uint8_t* d, size_t n) : d_(d), n_(n) {}
  bool empty() const { return i_ >= n_; }
  uint8_t Byte() { return i_ < n_ ? d_[i_++] : 0; }
  std::string Bytes(size_t max) {
    size_t len = Byte() % (max + 1);
    std::string s;
    while (len-- > 0 && i_ < n_) s.push_back(static_cast<char>(d_[i_++]));
    return s;
  }

 private:
  const uint8_t* d_;
  size_t n_;
  size_t i_ = 0;
};

using Shape = std::map<uint32_t, std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>>;

Shape ShapeOf(const CXmlDocument& doc) {
  Shape s;
  const ElementIndex& idx = doc.Index();
  for (uint32_t p = 1; p < idx.Count(); ++p) {
    const ElementRecord& r = idx[static_cast<int32_t>(p)];
    if (r.flags & kElementReleased) continue;
    s[idx.Start(static_cast<int32_t>(p))] = {r.length, r.startTagLength, r.endTagLength,
                                             r.parent != 0 ? idx.Start(r.parent) : UINT32_MAX};
  }
  return s;
}

size_t SubtreeSize(const CXmlDocument& doc, int32_t p) {
  size_t n = 1;
  for (int32_t c = doc.Index()[p].firstChild; c != 0; c = doc.Index()[c].next) n += SubtreeSize(doc, c);
  return n;
}

const char* const kNames[] = {"a", "b", "item", "itemData", "x:y", "_z", "p", "\xC3\xA9-1"};

std::string Name(Input& in) {
  const uint8_t pick = in.Byte();
  return pick < 224 ? kNames[pick % 8] : in.Bytes(6);
}
const char* const kSeed =
    "<?xml version=\"1.0\"?>\r\n<uiConfig>\r\n  <items>\r\n    <item a=\"1\"/>\r\n    <item/>\r\n"
    "  </items>\r\n  <p/>\r\n  <e></e>\r\n</uiConfig>\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  CXmlDocument doc;
  const std::string start = in.Bytes(255);
  if (!doc.ParseText(start)) doc.ParseText(kSeed);
  size_t expected = doc.ElementCount();
  bool startTagOnly = false;
  for (int step = 0; step < 64 && !in.empty(); ++step) {
    const uint8_t op = in.Byte();
    const bool watched = op >= 160;
    std::string textBefore;
    Shape shapeBefore;
    if (watched) {
      textBefore = doc.Text();
      shapeBefore = ShapeOf(doc);
    }
    bool refused = false;
    switch (op % 10) {
      case 0: doc.FindElement(kNames[in.Byte() % 8]); break;
      case 1: doc.FindElement(); break;
      case 2: doc.EnterElement(); break;
      case 3: doc.LeaveElement(); break;
      case 4: doc.RewindElements(); break;
      case 5: {
        unsigned flags = in.Byte();
        flags = (flags & 0x1F) | (flags & 0x20 ? kAddEscapeQuotes : 0) | (flags & 0x40 ? kAddBefore : 0) |
                (flags & 0x80 ? kAddChild : 0);
        const std::string content = in.Bytes(16);
        if (doc.AddElement(Name(in), content.empty() ? nullptr : content.c_str(), flags)) {
          ++expected;
          if (flags & kAddNoEndTag) startTagOnly = true;
        } else {
          refused = true;
        }
        break;
      }
      case 6: {
        const int32_t cur = doc.CurrentPos();
        const size_t n = cur != 0 ? SubtreeSize(doc, cur) : 0;
        if (doc.RemoveElement()) {
          expected -= n;
        } else {
          refused = true;
        }
        break;
      }
      case 7: {
        const std::string value = in.Bytes(16);
        const std::string name = Name(in);
        refused = !doc.SetAttribute(name, value);
        break;
      }
      case 8: refused = !doc.SetContent(in.Bytes(16)); break;
      case 9: doc.GetAttribute(Name(in)); break;
    }
    if (watched && refused) {
      Check(doc.Text() == textBefore);
      Check(ShapeOf(doc) == shapeBefore);
    }
    Check(doc.ElementCount() == expected);
    Check(doc.Index()[0].length == doc.Text().size());
  }
  CXmlDocument fresh;
  fresh.ParseText(doc.Text());
  Check(fresh.ElementCount() == expected);
  if (!startTagOnly) Check(ShapeOf(fresh) == ShapeOf(doc));
  return 0;
}
