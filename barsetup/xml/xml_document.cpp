#include "xml/xml_document.h"

#include <cstring>
#include <vector>

#include "xml/markup_tokenizer.h"
#include "xml/xml_escape.h"
#include "xml/xml_name.h"

namespace barsetup {

// Where a new element goes: the splice point, the bytes it replaces there
// (the "/" of a self-closed parent) and what becomes of the parent's tags.
struct CXmlDocument::Placement {
  enum Kind { kPlain, kIntoSelfClosed, kIntoUnended, kIntoEmptyContent } kind = kPlain;
  size_t pos = 0;
  size_t removeLen = 0;
};

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// A name inside a search path ends at NUL, space, "/", "=", "[" or "]".
bool IsPathDelimiter(char c) { return c == '\0' || c == ' ' || c == '/' || c == '=' || c == '[' || c == ']'; }

size_t PathName(std::string_view path, size_t i) {
  while (i < path.size() && !IsPathDelimiter(path[i])) ++i;
  return i;
}

// Checks the path syntax and gives the name of its first step (empty: any
// element). Absolute and descendant paths are refused.
bool ParsePath(std::string_view path, std::string_view* firstName) {
  *firstName = {};
  if (size_t nul = path.find('\0'); nul != std::string_view::npos) path = path.substr(0, nul);
  if (path.empty()) return true;
  if (path[0] == '/') return false;
  size_t i = 0;
  bool first = true;
  for (;;) {
    if (path[i] == '@') {
      // Only as the last step, after a slash.
      if (first) return false;
      size_t end = PathName(path, i + 1);
      return end > i + 1 && end == path.size();
    }
    size_t end = PathName(path, i);
    if (end == i) return false;
    if (first) *firstName = path.substr(i, end - i);
    first = false;
    i = end;
    if (i < path.size() && path[i] == '[') {
      ++i;
      if (i >= path.size()) return false;
      if (path[i] >= '1' && path[i] <= '9') {
        while (i < path.size() && path[i] >= '0' && path[i] <= '9') ++i;
      } else if (path[i] == '@') {
        size_t nameEnd = PathName(path, i + 1);
        if (nameEnd == i + 1) return false;
        i = nameEnd;
        if (i < path.size() && path[i] == '=') {
          ++i;
          if (i < path.size() && (path[i] == '"' || path[i] == '\'')) {
            size_t close = path.find(path[i], i + 1);
            if (close == std::string_view::npos) return false;
            i = close + 1;
          } else {
            size_t close = path.find(']', i);
            if (close == std::string_view::npos) return false;
            i = close;
          }
        }
      } else {
        size_t nameEnd = PathName(path, i);
        if (nameEnd == i) return false;
        i = nameEnd;
      }
      if (i >= path.size() || path[i] != ']') return false;
      ++i;
    }
    if (i == path.size()) return true;
    if (path[i] != '/') return false;
    ++i;
    if (i == path.size()) return false;
  }
}

// Where the element name of a start tag begins and ends: after the "<" and
// any white space, at least one character, up to a name delimiter.
size_t ElementNameBegin(std::string_view tag) {
  size_t i = 1;
  while (i < tag.size() && IsXmlSpace(static_cast<unsigned char>(tag[i]))) ++i;
  return std::min(i, tag.size());
}

size_t ElementNameEnd(std::string_view tag) {
  size_t i = ElementNameBegin(tag);
  if (i < tag.size()) ++i;  // at least one character
  while (i < tag.size() && !IsNameDelimiter(static_cast<unsigned char>(tag[i]))) ++i;
  return i;
}

// Where the name of a start tag ends as the parse reads it: at white space,
// "/" or ">".
size_t TagNameEnd(std::string_view tag) {
  size_t i = 1;
  while (i < tag.size()) {
    const auto c = static_cast<unsigned char>(tag[i]);
    if (IsXmlSpace(c) || c == '/' || c == '>') break;
    ++i;
  }
  return std::min(i, tag.size());
}

// Content as CDATA sections; a "]]>" in it is split across two of them.
void AppendCdata(std::string& out, std::string_view content) {
  out.append("<![CDATA[");
  size_t from = 0;
  for (size_t k; (k = content.find("]]>", from)) != std::string_view::npos; from = k + 3) {
    out.append(content.substr(from, k - from));
    out.append("]]]]><![CDATA[>");
  }
  out.append(content.substr(from));
  out.append("]]>");
}

// A new element's markup and what its record holds.
struct NewElement {
  std::string text;
  uint32_t startTag = 0;
  uint32_t endTag = 0;
  uint32_t flags = 0;
};

NewElement BuildElement(std::string_view name, std::string_view content, unsigned flags) {
  NewElement e;
  std::string& t = e.text;
  t.reserve(name.size() * 2 + content.size() + content.size() / 10 + 16);
  t.push_back('<');
  t.append(name);
  if (!content.empty()) {
    t.push_back('>');
    if ((flags & kAddCdata) != 0) {
      AppendCdata(t, content);
    } else {
      AppendEscaped(t, content, flags & (kEscapeQuotes | kEscapeKeepReferences));
    }
    t.append("</");
    t.append(name);
    t.push_back('>');
    e.startTag = static_cast<uint32_t>(name.size() + 2);
    e.endTag = static_cast<uint32_t>(name.size() + 3);
  } else if ((flags & kAddNoEndTag) != 0) {
    t.push_back('>');
    e.flags = kElementUnended;
    e.startTag = static_cast<uint32_t>(t.size());
  } else {
    t.append((flags & kAddSpaceBeforeSlash) != 0 ? " />" : "/>");
    e.startTag = static_cast<uint32_t>(t.size());
  }
  return e;
}

}  // namespace

CXmlDocument::CXmlDocument() : CXmlDocument(DefaultXmlPlatform()) {}

CXmlDocument::CXmlDocument(std::string_view text) : CXmlDocument(DefaultXmlPlatform()) { ParseText(text); }

CXmlDocument::CXmlDocument(const XmlPlatform& platform, int textCodePage)
    : platform_(&platform), textCodePage_(textCodePage == 0 ? platform.SystemCodePage() : textCodePage) {}

void CXmlDocument::ClearPosition() {
  parentPos_ = currentPos_ = childPos_ = 0;
  nodeKind_ = 0;
}

bool CXmlDocument::ParseText(const char* text) {
  return ParseText(text != nullptr ? std::string_view(text) : std::string_view());
}

size_t EditSlack(size_t length) { return length / 16 + 4096; }

bool CXmlDocument::ParseText(std::string_view text) {
  std::string copy;
  copy.reserve(text.size() + EditSlack(text.size()));
  copy.assign(text);
  return ParseText(std::move(copy));
}

bool CXmlDocument::ParseText(std::string&& text) {
  loadFailed_ = false;
  if (text.size() > kMaxDocumentText) text.clear();
  text_.Assign(std::move(text));
  result_.clear();
  return ParseDocument();
}

std::string_view CXmlDocument::StartTag(int32_t p) const {
  const size_t start = index_.Start(p);
  if (start >= text_.size()) return {};
  return text_.View(start, std::min(start + index_[p].startTagLength, text_.size()));
}

std::string_view CXmlDocument::ElementName(int32_t p) const {
  if (!IsLive(p) || size_t{index_.Start(p)} + index_[p].startTagLength > text_.size()) return {};
  const std::string_view tag = StartTag(p);
  const size_t begin = ElementNameBegin(tag);
  return tag.substr(begin, ElementNameEnd(tag) - begin);
}

std::string_view CXmlDocument::StartTagName(int32_t p) const {
  if (!IsLive(p)) return {};
  const std::string_view tag = StartTag(p);
  return tag.empty() ? tag : tag.substr(1, TagNameEnd(tag) - 1);
}

size_t CXmlDocument::ElementCount() const {
  size_t n = 0;
  for (uint32_t p = 1; p < index_.Count(); ++p) {
    if ((index_[static_cast<int32_t>(p)].flags & kElementReleased) == 0) ++n;
  }
  return n;
}

// ---------------------------------------------------------------------------
// Navigation

bool CXmlDocument::FindElement(const char* path) {
  return FindElement(path != nullptr ? std::string_view(path) : std::string_view());
}

bool CXmlDocument::FindElement(std::string_view path) {
  std::string_view name;
  if (!ParsePath(path, &name)) return false;
  const bool fold = (docFlags_ & kDocIgnoreCase) != 0;
  int32_t p = currentPos_ != 0 ? index_[currentPos_].next : index_[parentPos_].firstChild;
  for (; p != 0; p = index_[p].next) {
    if (name.empty() || NamesEqual(ElementName(p), name, fold)) {
      currentPos_ = p;
      parentPos_ = index_[p].parent;
      childPos_ = 0;
      nodeKind_ = 1;
      return true;
    }
  }
  return false;
}

bool CXmlDocument::EnterElement() {
  if (currentPos_ == 0) return false;
  parentPos_ = currentPos_;
  currentPos_ = childPos_;
  childPos_ = 0;
  nodeKind_ = currentPos_ != 0 ? 1 : 0;
  return true;
}

bool CXmlDocument::LeaveElement() {
  if (parentPos_ == 0) return false;
  childPos_ = currentPos_;
  currentPos_ = parentPos_;
  parentPos_ = index_[currentPos_].parent;
  nodeKind_ = 1;
  return true;
}

void CXmlDocument::RewindElements() {
  currentPos_ = 0;
  childPos_ = 0;
  nodeKind_ = 0;
}

// ---------------------------------------------------------------------------
// Attributes

AttributeSpan CXmlDocument::ScanAttributes(int32_t p, std::string_view name) const {
  const ElementRecord& rec = index_[p];
  const size_t start = index_.Start(p);
  const std::string_view tag = StartTag(p);
  size_t limit = tag.size();
  // Attributes live before the closing ">" (and the "/" of "/>"), even when
  // stray quotes would carry a scan past them.
  if (limit > 0 && tag[limit - 1] == '>') --limit;
  if (rec.length == rec.startTagLength && (rec.flags & kElementUnended) == 0 && limit > 0 && tag[limit - 1] == '/') {
    --limit;
  }
  // Attributes follow the name as the parse reads it: where the element name
  // ends earlier (at one of ! ; = ? \ " ' < or NUL), what lies between is
  // still part of the tag's name, and an edit there would split it.
  const size_t from = std::max(ElementNameEnd(tag), TagNameEnd(tag));
  AttributeSpan span = FindTagAttribute(tag, std::min(from, limit), limit, name, (docFlags_ & kDocIgnoreCase) != 0);
  span.nameEnd += start;
  span.valueStart += start;
  span.valueEnd += start;
  span.insertAt += start;
  return span;
}

std::string CXmlDocument::GetAttribute(std::string_view name) const {
  if (!IsLive(currentPos_)) return {};
  AttributeSpan span = ScanAttributes(currentPos_, name);
  if (!span.found) return {};
  return DecodeValue(text_.View(span.valueStart, span.valueEnd), textCodePage_, *platform_);
}

// The parse reads a "/" before the closing ">" as part of an unquoted value
// that runs up to it, so `<a v=x/>` is no empty-element tag. The attribute
// scan stops at that "/", and a quoted value written before it would cut the
// run short: the "/" would then close the tag. Only an "=" or a quote
// between the edit and the "/" starts the parse's reading afresh there.
bool CXmlDocument::WouldCloseStartTag(int32_t p, size_t end) const {
  const ElementRecord& rec = index_[p];
  if (rec.length == rec.startTagLength && (rec.flags & kElementUnended) == 0) return false;
  const std::string_view tag = StartTag(p);
  const size_t start = index_.Start(p);
  if (tag.size() < 3 || end < start || end - start > tag.size() - 2 || tag[tag.size() - 2] != '/') {
    return false;
  }
  const std::string_view between = tag.substr(end - start, tag.size() - 2 - (end - start));
  return between.find_first_of("=\"'") == std::string_view::npos;
}

bool CXmlDocument::SetAttribute(std::string_view name, std::string_view value) {
  if (!IsLive(currentPos_) || !IsXmlName(name, textCodePage_, *platform_)) return false;
  const int32_t e = currentPos_;
  AttributeSpan span = ScanAttributes(e, name);
  // Never inside the name as the parse reads it: a space there would turn
  // the rest of that name into attribute text.
  const size_t afterName = index_.Start(e) + TagNameEnd(StartTag(e));
  std::string quoted;
  quoted.reserve(value.size() + 16);
  size_t pos, removeLen = 0;
  if (span.found && span.hasEquals) {
    pos = span.valueStart - (span.quoted ? 1 : 0);
    size_t end =
        span.valueEnd + (span.quoted && span.valueEnd < text_.size() && text_[span.valueEnd] == text_[pos] ? 1 : 0);
    // An unquoted value that the parse reads on through the closing "/" is
    // replaced whole, up to the ">", and the tag stays open.
    if (WouldCloseStartTag(e, end)) end = index_.Start(e) + index_[e].startTagLength - 1;
    removeLen = end - pos;
  } else if (span.found && !WouldCloseStartTag(e, span.nameEnd)) {
    // An attribute written without a value gets one after its name.
    pos = span.nameEnd;
    quoted.push_back('=');
  } else {
    // After the last attribute; but where that lies in an unquoted value
    // that runs on through the closing "/", right after the name instead,
    // where the scan finds it first.
    pos = std::max(span.insertAt, afterName);
    if (WouldCloseStartTag(e, pos)) pos = afterName;
    quoted.push_back(' ');
    quoted.append(name);
    quoted.push_back('=');
  }
  quoted.push_back('"');
  AppendEscaped(quoted, value, kEscapeQuotes);
  quoted.push_back('"');
  const uint32_t oldTag = index_[e].startTagLength;
  if (!Splice(pos, removeLen, quoted, e)) return false;
  index_[e].startTagLength = oldTag + static_cast<uint32_t>(quoted.size()) - static_cast<uint32_t>(removeLen);
  return true;
}

// ---------------------------------------------------------------------------
// Editing

bool CXmlDocument::Splice(size_t pos, size_t removeLen, std::string_view insert, int32_t owner) {
  if (pos > text_.size() || removeLen > text_.size() - pos) return false;
  const size_t newSize = text_.size() - removeLen + insert.size();
  if (newSize > kMaxDocumentText) return false;
  text_.Replace(pos, removeLen, insert);
  index_.Edit(static_cast<uint32_t>(pos), static_cast<uint32_t>(removeLen), static_cast<uint32_t>(insert.size()));
  const uint32_t delta = static_cast<uint32_t>(insert.size()) - static_cast<uint32_t>(removeLen);
  if (delta != 0) {
    for (int32_t p = owner; p != 0; p = index_[p].parent) index_[p].length += delta;
  }
  index_[0].length = static_cast<uint32_t>(text_.size());
  return true;
}

bool CXmlDocument::OpenEmptyTag(int32_t p, size_t* pos, size_t* removeLen) const {
  // The "/" of "/>", with any further slashes right before it: were one
  // left, the tag would still read as an empty-element tag.
  const size_t start = index_.Start(p);
  const size_t close = start + index_[p].startTagLength - 1;
  if (index_[p].startTagLength < 3 || close >= text_.size() || text_[close] != '>' || text_[close - 1] != '/') {
    return false;
  }
  size_t k = close - 1;
  while (k > start + 2 && text_[k - 1] == '/') --k;
  *pos = k;
  *removeLen = close - k;
  return true;
}

bool CXmlDocument::AddElement(std::string_view name, const char* content, unsigned flags) {
  return AddElement(name, content != nullptr ? std::string_view(content) : std::string_view(), flags);
}

bool CXmlDocument::AddElement(std::string_view name, std::string_view content, unsigned flags) {
  if (!IsXmlName(name, textCodePage_, *platform_)) return false;
  const bool child = (flags & kAddChild) != 0;
  if (child && !IsLive(currentPos_)) return false;
  if ((flags & kAddNoEndTag) != 0 && !content.empty()) return false;
  const int32_t parent = child ? currentPos_ : parentPos_;
  const int32_t ref = child ? childPos_ : currentPos_;
  const bool before = (flags & kAddBefore) != 0;
  const bool lineBreaks = (flags & kAddNoLineBreak) == 0;

  const NewElement element = BuildElement(name, content, flags);
  Placement at;
  if (!PlaceElement(parent, ref, before, lineBreaks, &at)) return false;
  size_t start;
  if (!SpliceElement(parent, at, element.text, lineBreaks, &start)) return false;

  const int32_t r = index_.Add(static_cast<uint32_t>(start));
  ElementRecord& rec = index_[r];
  rec.length = static_cast<uint32_t>(element.text.size());
  rec.startTagLength = element.startTag;
  rec.endTagLength = element.endTag;
  rec.flags = element.flags;
  rec.depth = parent != 0 ? index_[parent].depth + 1 : 0;
  rec.parent = parent;
  index_.Link(parent, r, ref, before);

  if (child) {
    childPos_ = r;
  } else {
    currentPos_ = r;
    childPos_ = 0;
  }
  nodeKind_ = 1;
  return true;
}

bool CXmlDocument::PlaceElement(int32_t parent, int32_t ref, bool before, bool lineBreaks, Placement* at) const {
  const ElementRecord& p = index_[parent];
  const size_t pStart = index_.Start(parent);
  at->kind = Placement::kPlain;
  at->removeLen = 0;
  if (ref != 0) {
    at->pos = index_.Start(ref) + (before ? 0 : size_t{index_[ref].length});
  } else if (before && p.firstChild != 0) {
    at->pos = index_.Start(p.firstChild);
  } else if (parent == 0) {
    at->pos = text_.size();
  } else if (p.length == p.startTagLength) {
    if ((p.flags & kElementUnended) != 0) {
      at->kind = Placement::kIntoUnended;
      at->pos = pStart + p.startTagLength;
    } else {
      at->kind = Placement::kIntoSelfClosed;
      if (!OpenEmptyTag(parent, &at->pos, &at->removeLen)) return false;
    }
  } else {
    at->pos = pStart + p.length - p.endTagLength;
    if (p.length - p.endTagLength == p.startTagLength) at->kind = Placement::kIntoEmptyContent;
  }
  if (at->pos > text_.size()) return false;
  // Past white space up to the next tag: the new element takes the
  // indentation written before that tag.
  const bool intoTag = at->kind == Placement::kIntoSelfClosed || at->kind == Placement::kIntoUnended;
  if (lineBreaks && !intoTag) {
    size_t k = at->pos;
    while (k < text_.size() && IsXmlSpace(static_cast<unsigned char>(text_[k]))) ++k;
    if (k == text_.size() || text_[k] == '<') at->pos = k;
  }
  return true;
}

bool CXmlDocument::SpliceElement(int32_t parent, const Placement& at, std::string_view element, bool lineBreaks,
                                 size_t* elementStart) {
  const std::string_view br = lineBreaks ? kLineBreak : std::string_view();
  // End tags repeat the name as the parse reads it, so that they match.
  const std::string parentName(StartTagName(parent));
  std::string insert;
  size_t elementOffset = 0;
  switch (at.kind) {
    case Placement::kPlain: insert.append(element).append(br); break;
    case Placement::kIntoEmptyContent:
      insert.append(br).append(element).append(br);
      elementOffset = br.size();
      break;
    case Placement::kIntoSelfClosed:
      insert.append(">").append(br).append(element).append(br).append("</").append(parentName);
      elementOffset = 1 + br.size();
      break;
    case Placement::kIntoUnended: insert.append(element).append(br).append("</").append(parentName).append(">"); break;
  }
  if (!Splice(at.pos, at.removeLen, insert, parent)) return false;
  if (at.kind == Placement::kIntoSelfClosed) {
    index_[parent].startTagLength -= static_cast<uint32_t>(at.removeLen);
    index_[parent].endTagLength = static_cast<uint32_t>(parentName.size() + 3);
  } else if (at.kind == Placement::kIntoUnended) {
    index_[parent].flags &= ~kElementUnended;
    index_[parent].endTagLength = static_cast<uint32_t>(parentName.size() + 3);
  }
  *elementStart = at.pos + elementOffset;
  return true;
}

bool CXmlDocument::SetContent(std::string_view content) {
  if (!IsLive(currentPos_)) return false;
  const int32_t e = currentPos_;
  const ElementRecord& rec = index_[e];
  if (rec.firstChild != 0) return false;
  const size_t start = index_.Start(e);
  const std::string name(StartTagName(e));
  std::string insert = Escape(content, 0);
  size_t pos, removeLen = 0;
  enum { kBetweenTags, kSelfClosed, kUnended } kind = kBetweenTags;
  if (rec.length == rec.startTagLength) {
    if ((rec.flags & kElementUnended) != 0) {
      kind = kUnended;
      pos = start + rec.startTagLength;
      insert.append("</").append(name).append(">");
    } else {
      kind = kSelfClosed;
      if (!OpenEmptyTag(e, &pos, &removeLen)) return false;
      insert = ">" + insert + "</" + name;
    }
  } else {
    pos = start + rec.startTagLength;
    removeLen = rec.length - rec.startTagLength - rec.endTagLength;
  }
  if (!Splice(pos, removeLen, insert, e)) return false;
  ElementRecord& after = index_[e];
  if (kind == kSelfClosed) after.startTagLength -= static_cast<uint32_t>(removeLen);
  if (kind != kBetweenTags) after.endTagLength = static_cast<uint32_t>(name.size() + 3);
  after.flags &= ~(kElementMarkupError | kElementUnended);
  return true;
}

bool CXmlDocument::RemoveElement() {
  if (!IsLive(currentPos_)) return false;
  const int32_t e = currentPos_;
  const size_t start = index_.Start(e);
  size_t end = start + index_[e].length;
  if (end > text_.size()) return false;
  // With the white space after it when that leads to the next tag.
  size_t k = end;
  while (k < text_.size() && IsXmlSpace(static_cast<unsigned char>(text_[k]))) ++k;
  if (k == text_.size() || text_[k] == '<') end = k;

  const int32_t parent = index_[e].parent;
  const int32_t newCurrent = index_.Unlink(e);
  ReleaseSubtree(e);
  Splice(start, end - start, {}, parent);
  currentPos_ = newCurrent;
  childPos_ = 0;
  nodeKind_ = newCurrent != 0 ? 1 : 0;
  return true;
}

void CXmlDocument::ReleaseSubtree(int32_t e) {
  std::vector<int32_t> pending{e};
  while (!pending.empty()) {
    const int32_t q = pending.back();
    pending.pop_back();
    for (int32_t c = index_[q].firstChild; c != 0; c = index_[c].next) pending.push_back(c);
    ElementRecord& r = index_[q];
    r.flags |= kElementReleased;
    r.firstChild = 0;
    r.next = deletedHead_;
    deletedHead_ = q;
  }
}

}  // namespace barsetup
