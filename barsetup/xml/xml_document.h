// CXmlDocument: one markup document held as its exact text, an index of its
// elements and a current position. Edits splice the text and patch the index,
// so text outside an edit is never reformatted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/element_index.h"
#include "xml/markup_tokenizer.h"
#include "xml/text_buffer.h"
#include "xml/xml_platform.h"

namespace barsetup {

// Document flags.
inline constexpr uint32_t kDocUtf16Le = 0x1;
inline constexpr uint32_t kDocUtf8Bom = 0x4;
inline constexpr uint32_t kDocIgnoreCase = 0x8;
inline constexpr uint32_t kDocReadMode = 0x10;
inline constexpr uint32_t kDocWriteMode = 0x20;
inline constexpr uint32_t kDocAppendMode = 0x40;
inline constexpr uint32_t kDocUtf16Be = 0x80;

// AddElement flags.
inline constexpr unsigned kAddCdata = 0x0001;
inline constexpr unsigned kAddNoLineBreak = 0x0002;
inline constexpr unsigned kAddSpaceBeforeSlash = 0x0004;
inline constexpr unsigned kAddKeepReferences = 0x0008;
inline constexpr unsigned kAddNoEndTag = 0x0010;
inline constexpr unsigned kAddEscapeQuotes = 0x0100;
inline constexpr unsigned kAddBefore = 0x2000;
inline constexpr unsigned kAddChild = 0x4000;

// Longest text a document holds; offsets are 32-bit.
inline constexpr size_t kMaxDocumentText = 0x7FFF0000u;

struct ParseState;

// Room kept beyond a freshly parsed or loaded text, so that an edit session
// does not have to move the whole text to a larger buffer.
size_t EditSlack(size_t length);

class CXmlDocument {
 public:
  CXmlDocument();
  explicit CXmlDocument(std::string_view text);
  // The text is held in textCodePage (UTF-8 by default, 0 = the system's
  // ANSI code page); files in other encodings are converted on load and save.
  explicit CXmlDocument(const XmlPlatform& platform, int textCodePage = 65001);

  CXmlDocument(const CXmlDocument&) = delete;
  CXmlDocument& operator=(const CXmlDocument&) = delete;

  bool ParseText(std::string_view text);
  bool ParseText(const char* text);  // null = empty
  bool ParseText(std::string&& text);
  bool LoadFile(const std::string& path);
  bool SaveFile(const std::string& path);
  std::string GetResult() const { return result_; }

  bool FindElement(const char* path = nullptr);  // null = any element
  bool FindElement(std::string_view path);
  bool EnterElement();
  bool LeaveElement();
  void RewindElements();

  std::string GetAttribute(std::string_view name) const;
  bool SetAttribute(std::string_view name, std::string_view value);
  bool SetContent(std::string_view text);
  bool AddElement(std::string_view name, const char* content = nullptr, unsigned flags = 0);
  bool AddElement(std::string_view name, std::string_view content, unsigned flags);
  bool RemoveElement();

  // Read access for callers and tests. Text() stays valid until the next
  // edit, the names below until the next edit or call of Text() (which
  // closes the text's edit gap; other reads move it only within a tag).
  const std::string& Text() const { return text_.Str(); }
  uint32_t DocFlags() const { return docFlags_; }
  void SetDocFlags(uint32_t flags) { docFlags_ = flags; }
  int TextCodePage() const { return textCodePage_; }
  const ElementIndex& Index() const { return index_; }
  int32_t ParentPos() const { return parentPos_; }
  int32_t CurrentPos() const { return currentPos_; }
  int32_t ChildPos() const { return childPos_; }
  int NodeKind() const { return nodeKind_; }
  // Name of the element of record p.
  std::string_view ElementName(int32_t p) const;
  // Name of record p as the parse reads it (up to whitespace, "/" or ">").
  std::string_view StartTagName(int32_t p) const;
  // Number of live elements (records not released).
  size_t ElementCount() const;

 private:
  bool ParseDocument();
  void CloseUnended(size_t stackFrom, ParseState& state, uint32_t closingOffset);
  bool Splice(size_t pos, size_t removeLen, std::string_view insert, int32_t owner);
  void ClearPosition();
  bool OpenEmptyTag(int32_t p, size_t* pos, size_t* removeLen) const;
  struct Placement;
  // The steps of AddElement after the markup is built: where it goes, and
  // the splice that puts it there (with any change to the parent's tags).
  bool PlaceElement(int32_t parent, int32_t ref, bool before, bool lineBreaks, Placement* at) const;
  bool SpliceElement(int32_t parent, const Placement& at, std::string_view element, bool lineBreaks,
                     size_t* elementStart);
  void ReleaseSubtree(int32_t e);
  bool IsLive(int32_t p) const { return p > 0 && static_cast<uint32_t>(p) < index_.Count(); }
  // The start tag of record p, cut at the end of the text.
  std::string_view StartTag(int32_t p) const;
  // Attribute scan of a start tag: value span of name, or the insert point.
  AttributeSpan ScanAttributes(int32_t p, std::string_view name) const;
  // Whether a quoted value written into p's start tag, ending at text
  // offset end, would turn it into an empty-element tag for the parse.
  bool WouldCloseStartTag(int32_t p, size_t end) const;

  const XmlPlatform* platform_;
  int textCodePage_;
  TextBuffer text_;
  std::string result_;
  int32_t parentPos_ = 0;
  int32_t currentPos_ = 0;
  int32_t childPos_ = 0;
  int32_t deletedHead_ = 0;
  int nodeKind_ = 0;
  uint32_t docFlags_ = 0;
  // Set when LoadFile could not read its file: the text then stands for no
  // file, and SaveFile refuses to write it over one.
  bool loadFailed_ = false;
  ElementIndex index_;
};

}  // namespace barsetup
