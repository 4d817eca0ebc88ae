// Toolbar addition then removal on arbitrary documents. The first byte picks
// the variant and the version, the rest is the document. Whatever the text,
// the passes never break the element index (a fresh parse of the result
// finds the same elements), keep a well-formed document well formed, add
// nothing on a second addition, and, on a document that held nothing of the
// variant, take out again every element the addition put in.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "workspace/toolbar_edit.h"
#include "xml/xml_document.h"

using namespace barsetup;

namespace {

bool Parses(const std::string& text, size_t elements) {
  CXmlDocument fresh;
  fresh.ParseText(text);
  return fresh.ElementCount() == elements;
}

bool WellFormed(const std::string& text) {
  CXmlDocument fresh;
  return fresh.ParseText(text);
}

// Whether the text holds the variant's toolbar GUID or any of its item GUIDs.
bool HoldsVariant(std::string_view text, const ToolbarVariant& v) {
  if (text.find(v.toolbarGuid) != std::string_view::npos) return true;
  for (std::string_view guid : *v.itemGuids) {
    if (text.find(guid) != std::string_view::npos) return true;
  }
  return false;
}

size_t Count(std::string_view text, std::string_view what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const ToolbarVariant& v = (data[0] & 1) != 0 ? Q5Variant() : StandardVariant();
  const int version = 12 + (data[0] >> 1) % 11;
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);

  CXmlDocument doc;
  const bool wellFormed = doc.ParseText(input);
  const size_t before = doc.ElementCount();
  // Without references, no GUID of the variant hides behind one either.
  const bool fresh = !HoldsVariant(input, v) && input.find('&') == std::string::npos;

  ToolbarChanges added;
  if (!AddToolbar(doc, v, version, "KV", added)) return 0;
  const std::string afterAdd = doc.Text();
  Check(Parses(afterAdd, doc.ElementCount()));
  if (wellFormed) Check(WellFormed(afterAdd));
  if (!added.Changed()) Check(afterAdd == input);

  ToolbarChanges again;
  Check(AddToolbar(doc, v, version, "KV", again));
  Check(!again.Changed());
  Check(doc.Text() == afterAdd);

  // Removal as a later run does it: on the text as it was saved.
  CXmlDocument saved;
  saved.ParseText(afterAdd);
  ToolbarChanges removed;
  Check(RemoveToolbar(saved, v, removed));
  const std::string afterRemove = saved.Text();
  Check(Parses(afterRemove, saved.ElementCount()));
  if (wellFormed) Check(WellFormed(afterRemove));
  if (fresh) {
    Check(!HoldsVariant(afterRemove, v));
    Check(saved.ElementCount() == before + static_cast<size_t>(added.lanesAdded));
    Check(Count(afterRemove, kTrailingItemGuid) == Count(input, kTrailingItemGuid));
    Check(removed.commandBarsRemoved == added.commandBarsAdded);
    Check(removed.hostItemsRemoved == added.hostItemsAdded);
    Check(removed.definitionsRemoved == added.definitionsAdded);
    Check(removed.itemDefinitionsRemoved == added.itemDefinitionsAdded);
  }
  return 0;
}
