#include "xml/markup_tokenizer.h"

#include <cstring>

#include "xml/result_log.h"

namespace barsetup {
namespace {

class Tokenizer {
 public:
  Tokenizer(std::string_view text, size_t offset, std::string* records)
      : text_(text), t_(text.data()), n_(text.size()), off_(offset), records_(records) {
    node_.start = offset;
  }

  MarkupNode Next() {
    if (off_ >= n_) {
      node_.kind = kNodeEndOfText;
      return node_;
    }
    if (t_[off_] != '<') return Text();
    if (off_ + 1 >= n_) return Unterminated("tag");
    const auto c = static_cast<unsigned char>(t_[off_ + 1]);
    if (c == '/') return EndTag();
    if (c == ':' || c == '_' || (c >= 'A' && c <= 'Z') || c >= 0x61) return StartTag();
    if (c == '?') return Delimited(off_ + 2, "?>", kNodeProcessingInstruction, "processing_instruction");
    if (c == '!') return Exclamation();
    return Error("first_tag_syntax", off_ + 1);
  }

 private:
  MarkupNode Done(int kind, size_t end) {
    node_.kind = kind;
    node_.length = end - off_;
    return node_;
  }

  MarkupNode Error(std::string_view record, size_t from) {
    const void* gt = from < n_ ? std::memchr(t_ + from, '>', n_ - from) : nullptr;
    size_t end = gt != nullptr ? static_cast<size_t>(static_cast<const char*>(gt) - t_) + 1 : n_;
    if (records_ != nullptr) {
      ResultRecord(record).Number("offset", static_cast<int64_t>(off_)).AppendTo(*records_);
    }
    return Done(kNodeError, end);
  }

  MarkupNode Unterminated(std::string_view what) {
    if (records_ != nullptr) {
      ResultRecord("unterminated_tag_syntax")
          .Text("tagname", what)
          .Number("offset", static_cast<int64_t>(off_))
          .AppendTo(*records_);
    }
    return Done(kNodeError, n_);
  }

  // Offset just past the first seq at or after from, or npos.
  size_t After(size_t from, std::string_view seq) const {
    if (from > n_) return std::string_view::npos;
    size_t k = text_.find(seq, from);
    return k == std::string_view::npos ? k : k + seq.size();
  }

  MarkupNode Delimited(size_t from, std::string_view close, int kind, std::string_view what) {
    size_t end = After(from, close);
    if (end == std::string_view::npos) return Unterminated(what);
    return Done(kind, end);
  }

  MarkupNode Text() {
    const void* lt = std::memchr(t_ + off_, '<', n_ - off_);
    size_t end = lt != nullptr ? static_cast<size_t>(static_cast<const char*>(lt) - t_) : n_;
    int kind = kNodeWhitespace;
    for (size_t i = off_; i < end; ++i) {
      if (!IsXmlSpace(static_cast<unsigned char>(t_[i]))) {
        kind = kNodeText;
        break;
      }
    }
    return Done(kind, end);
  }

  size_t NameEnd(size_t i) const {
    while (i < n_) {
      const auto c = static_cast<unsigned char>(t_[i]);
      if (IsXmlSpace(c) || c == '/' || c == '>') break;
      ++i;
    }
    return i;
  }

  MarkupNode EndTag() {
    node_.nameStart = off_ + 2;
    node_.nameEnd = NameEnd(node_.nameStart);
    size_t i = node_.nameEnd;
    const void* gt = i < n_ ? std::memchr(t_ + i, '>', n_ - i) : nullptr;
    if (gt == nullptr) return Unterminated("end_tag");
    return Done(kNodeEndTag, static_cast<size_t>(static_cast<const char*>(gt) - t_) + 1);
  }

  MarkupNode StartTag() {
    node_.nameStart = off_ + 1;
    node_.nameEnd = NameEnd(node_.nameStart);
    // Quoted values are skipped whole; an unquoted value keeps a "/" that
    // ends it (`<a v=x/>` is no empty element).
    bool afterEquals = false;
    bool inUnquoted = false;
    size_t i = node_.nameEnd;
    while (i < n_) {
      const auto c = static_cast<unsigned char>(t_[i]);
      if (c == '>') {
        node_.emptyElement = t_[i - 1] == '/' && !inUnquoted;
        return Done(kNodeStartTag, i + 1);
      }
      if (c == '"' || c == '\'') {
        const void* q = i + 1 < n_ ? std::memchr(t_ + i + 1, c, n_ - i - 1) : nullptr;
        if (q == nullptr) break;
        i = static_cast<size_t>(static_cast<const char*>(q) - t_) + 1;
        afterEquals = inUnquoted = false;
        continue;
      }
      if (c == '=') {
        afterEquals = true;
        inUnquoted = false;
      } else if (IsXmlSpace(c)) {
        inUnquoted = false;
      } else if (afterEquals) {
        afterEquals = false;
        inUnquoted = true;
      }
      ++i;
    }
    return Unterminated("start_tag");
  }

  MarkupNode Exclamation() {
    if (off_ + 2 >= n_) return Unterminated("tag");
    const char c = t_[off_ + 2];
    if (c == '-') {
      if (off_ + 3 >= n_) return Unterminated("comment");
      if (t_[off_ + 3] != '-') return Error("comment_tag_syntax", off_ + 3);
      return Delimited(off_ + 4, "-->", kNodeComment, "comment");
    }
    if (c == '[') {
      if (off_ + 3 >= n_) return Unterminated("cdata_section");
      if (t_[off_ + 3] != 'C') return Error("cdata_section_syntax", off_ + 3);
      return Delimited(off_ + 4, "]]>", kNodeCdata, "cdata_section");
    }
    if (c == 'D') return DocumentType();
    return Error("exclamation_tag_syntax", off_ + 2);
  }

  // Ends at the first ">" that does not close an <!ATTLIST, <!ELEMENT,
  // <!ENTITY or <!NOTATION declaration of the internal subset.
  MarkupNode DocumentType() {
    size_t i = off_ + 3;
    while (i < n_) {
      const char c = t_[i];
      if (c == '>') return Done(kNodeDocumentType, i + 1);
      if (c != '<') {
        ++i;
        continue;
      }
      if (i + 2 >= n_) return Unterminated("document_type");
      const char d = t_[i + 2];
      if (t_[i + 1] != '!' || (d != 'A' && d != 'E' && d != 'N')) {
        return Error("doctype_tag_syntax", i + 1);
      }
      const void* gt = std::memchr(t_ + i + 3, '>', n_ - i - 3);
      if (gt == nullptr) return Unterminated("document_type");
      i = static_cast<size_t>(static_cast<const char*>(gt) - t_) + 1;
    }
    return Unterminated("document_type");
  }

  std::string_view text_;
  const char* t_;
  size_t n_;
  size_t off_;
  std::string* records_;
  MarkupNode node_;
};

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b, bool fold) {
  if (a.size() != b.size()) return false;
  if (!fold) return std::memcmp(a.data(), b.data(), a.size()) == 0;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i], y = b[i];
    if (x == y) {
      if (static_cast<unsigned char>(x) >= 0x80) fold = false;
      continue;
    }
    if (!fold || FoldAscii(x) != FoldAscii(y)) return false;
  }
  return true;
}

AttributeSpan FindTagAttribute(std::string_view t, size_t from, size_t tagEnd, std::string_view name, bool fold) {
  AttributeSpan span;
  if (tagEnd > t.size()) tagEnd = t.size();
  auto skipSpace = [&](size_t i) {
    while (i < tagEnd && IsXmlSpace(static_cast<unsigned char>(t[i]))) ++i;
    return i;
  };
  // A quoted value (quotes excluded) or a run up to a name delimiter.
  auto token = [&](size_t i, size_t* tokStart, size_t* tokEnd, bool* quoted) {
    const char c = t[i];
    if (c == '"' || c == '\'') {
      *quoted = true;
      *tokStart = i + 1;
      size_t k = i + 1;
      while (k < tagEnd && t[k] != c) ++k;
      *tokEnd = k;
      return k < tagEnd ? k + 1 : tagEnd;
    }
    *quoted = false;
    *tokStart = i;
    while (i < tagEnd && !IsNameDelimiter(static_cast<unsigned char>(t[i]))) ++i;
    *tokEnd = i;
    return i;
  };
  size_t i = from;
  span.insertAt = i;
  for (;;) {
    i = skipSpace(i);
    if (i >= tagEnd) break;
    const char c = t[i];
    if (c == '/' || c == '>' || c == '?') break;
    size_t nameStart, nameEnd;
    bool nameQuoted;
    size_t next = token(i, &nameStart, &nameEnd, &nameQuoted);
    if (next == i) {  // a stray delimiter
      ++i;
      continue;
    }
    i = next;
    span.insertAt = i;
    bool hasEquals = false;
    size_t valueStart = nameStart, valueEnd = nameEnd;
    bool valueQuoted = false;
    size_t j = skipSpace(i);
    if (j < tagEnd && t[j] == '=') {
      hasEquals = true;
      j = skipSpace(j + 1);
      if (j < tagEnd) {
        i = token(j, &valueStart, &valueEnd, &valueQuoted);
      } else {
        valueStart = valueEnd = i = j;
      }
      span.insertAt = i;
    }
    if (!span.found && NamesEqual(t.substr(nameStart, nameEnd - nameStart), name, fold)) {
      span.found = true;
      span.hasEquals = hasEquals;
      span.quoted = valueQuoted;
      span.nameEnd = nameQuoted ? nameEnd + 1 : nameEnd;
      span.valueStart = valueStart;
      span.valueEnd = valueEnd;
      return span;
    }
  }
  return span;
}

MarkupNode NextNode(std::string_view text, size_t offset, std::string* records) {
  return Tokenizer(text, offset, records).Next();
}

}  // namespace barsetup
