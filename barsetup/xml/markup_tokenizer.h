// The node tokenizer of the markup parse, and the character classes of names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace barsetup {

enum NodeKind : int {
  kNodeEndTag = 0,
  kNodeStartTag = 1,
  kNodeText = 2,
  kNodeWhitespace = 4,
  kNodeCdata = 8,
  kNodeProcessingInstruction = 16,
  kNodeComment = 32,
  kNodeDocumentType = 64,
  kNodeError = -1,
  kNodeEndOfText = -2,
};

struct MarkupNode {
  int kind = kNodeEndOfText;
  size_t start = 0;
  size_t length = 0;
  size_t nameStart = 0;  // start and end tags: the name as the tokenizer reads it
  size_t nameEnd = 0;
  bool emptyElement = false;  // start tag ending in "/>"
};

inline bool IsXmlSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// End of a name in the text: NUL, whitespace, or one of ! " ' / ; < = > ? \ .
inline bool IsNameDelimiter(unsigned char c) {
  switch (c) {
    case 0:
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case '!':
    case '"':
    case '\'':
    case '/':
    case ';':
    case '<':
    case '=':
    case '>':
    case '?':
    case '\\': return true;
    default: return false;
  }
}

inline char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Same length and bytes; with fold, ASCII letters compare ignoring case until
// a byte at or above 0x80 has matched exactly.
bool NamesEqual(std::string_view a, std::string_view b, bool fold);

// The node at offset. Syntax errors give kNodeError, and their record is
// appended to records (when given); the node then runs to the next ">".
MarkupNode NextNode(std::string_view text, size_t offset, std::string* records);

// An attribute of a start tag (or processing instruction) as the attribute
// functions read it.
struct AttributeSpan {
  bool found = false;
  bool hasEquals = false;
  bool quoted = false;    // the value was in quotes
  size_t nameEnd = 0;     // just past the attribute's name
  size_t valueStart = 0;  // the value, quotes excluded; the name itself
  size_t valueEnd = 0;    //   for an attribute without "="
  size_t insertAt = 0;    // just past the last attribute scanned
};

// Scans the attributes of text[from, tagEnd) (from = just past the tag's
// name) for name: a token is a quoted value or a run up to a name
// delimiter, "=" joins a name to the value after it, and "/", ">" or "?"
// end the scan.
AttributeSpan FindTagAttribute(std::string_view text, size_t from, size_t tagEnd, std::string_view name, bool fold);

}  // namespace barsetup
