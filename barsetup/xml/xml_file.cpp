#include "xml/xml_file.h"

#include <memory>

#include "xml/encoding_names.h"
#include "xml/markup_tokenizer.h"
#include "xml/result_log.h"
#include "xml/text_convert.h"
#include "xml/xml_document.h"

namespace barsetup {
namespace {

struct ByteOrderMark {
  std::string_view bytes;
  std::string_view encoding;
  uint32_t flag;
};

constexpr ByteOrderMark kMarks[] = {
    {"\xEF\xBB\xBF", "UTF-8", kDocUtf8Bom},
    {"\xFF\xFE", "UTF-16LE", kDocUtf16Le},
    {"\xFE\xFF", "UTF-16BE", kDocUtf16Be},
};

constexpr uint32_t kEncodingFlags = kDocUtf16Le | kDocUtf8Bom | kDocUtf16Be;
constexpr uint32_t kModeFlags = kDocReadMode | kDocWriteMode | kDocAppendMode;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

void AddFileError(std::string& records, const FileError& error) {
  ResultRecord("file_error").Text("msg", error.message).Number("n", error.number).AppendTo(records);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) { return NamesEqual(a, b, true); }

// The value of attribute name in the tag text[from, end), undecoded.
bool TagAttribute(std::string_view text, size_t from, size_t end, std::string_view name, std::string_view* value) {
  AttributeSpan span = FindTagAttribute(text, from, end, name, true);
  if (!span.found) return false;
  *value = text.substr(span.valueStart, span.valueEnd - span.valueStart);
  return true;
}

// The token after "charset" and "=" in a Content-Type value.
std::string CharsetOf(std::string_view content) {
  for (size_t i = 0; i + 7 <= content.size(); ++i) {
    if (!EqualsIgnoreCase(content.substr(i, 7), "charset")) continue;
    size_t k = i + 7;
    while (k < content.size() && IsXmlSpace(static_cast<unsigned char>(content[k]))) ++k;
    if (k >= content.size() || content[k] != '=') continue;
    ++k;
    while (k < content.size() && IsXmlSpace(static_cast<unsigned char>(content[k]))) ++k;
    size_t end = k;
    while (end < content.size() && !IsXmlSpace(static_cast<unsigned char>(content[end])) && content[end] != ';' &&
           content[end] != ',' && content[end] != '"' && content[end] != '\'') {
      ++end;
    }
    return std::string(content.substr(k, end - k));
  }
  return {};
}

// Removes every zero unit of unitSize bytes in place; the number removed.
size_t RemoveNuls(std::string& data, size_t unitSize) {
  const size_t units = data.size() / unitSize;
  size_t out = 0, removed = 0;
  if (unitSize == 1) {
    out = data.find('\0');
    if (out == std::string::npos) return 0;
    for (size_t i = out; i < data.size(); ++i) {
      if (data[i] != 0) data[out++] = data[i];
    }
    removed = data.size() - out;
    data.resize(out);
    return removed;
  }
  for (size_t i = 0; i < units; ++i) {
    const char a = data[2 * i], b = data[2 * i + 1];
    if (a == 0 && b == 0) {
      ++removed;
      continue;
    }
    data[2 * out] = a;
    data[2 * out + 1] = b;
    ++out;
  }
  if (removed != 0) {
    // A trailing odd byte stays after the units.
    const size_t tail = data.size() - units * 2;
    if (tail != 0) data[2 * out] = data[units * 2];
    data.resize(2 * out + tail);
  }
  return removed;
}

void SwapUnits(std::string& data) {
  for (size_t i = 0; i + 1 < data.size(); i += 2) std::swap(data[i], data[i + 1]);
}

void AddConversion(std::string& records, std::string_view name, size_t length, bool loss) {
  ResultRecord(name).Text("encoding", "").Number("length", static_cast<int64_t>(length)).AppendTo(records);
  if (loss) ResultRecord("conversion_loss").AppendTo(records);
}

void Finish(std::string* result, std::string& records, uint32_t* flags, uint32_t value) {
  if (result != nullptr) *result = std::move(records);
  if (flags != nullptr) *flags = value & ~kModeFlags;
}

// Loading, step 1: all bytes of the file, with room for an edit session.
bool ReadAll(std::FILE* file, const XmlPlatform& platform, std::string& data, std::string& records) {
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
    AddFileError(records, platform.LastFileError());
    return false;
  }
  if (static_cast<unsigned long>(size) > kMaxDocumentText) {
    AddFileError(records, platform.FileTooLargeError());
    return false;
  }
  data.reserve(static_cast<size_t>(size) + EditSlack(static_cast<size_t>(size)));
  data.resize(static_cast<size_t>(size));
  if (!data.empty() && std::fread(data.data(), 1, data.size(), file) != data.size()) {
    AddFileError(records, platform.LastFileError());
    return false;
  }
  return true;
}

// The encoding of a file's bytes: its byte-order mark, else a declaration in
// the first kilobyte, else UTF-8 for markup; the empty name when undetermined.
struct DetectedEncoding {
  std::string name;
  uint32_t flag = 0;  // of the byte-order mark
  size_t markLength = 0;
  size_t unitSize = 1;
};

// Loading, step 2.
DetectedEncoding DetectEncoding(std::string_view data) {
  DetectedEncoding d;
  for (const ByteOrderMark& mark : kMarks) {
    if (data.substr(0, mark.bytes.size()) == mark.bytes) {
      d.name = mark.encoding;
      d.flag = mark.flag;
      d.markLength = mark.bytes.size();
      d.unitSize = mark.flag == kDocUtf8Bom ? 1 : 2;
      return d;
    }
  }
  if (!data.empty()) {
    d.name = FindDeclaredEncoding(data.substr(0, 1024));
    if (d.name.empty() && data[0] == '<') d.name = "UTF-8";
  }
  return d;
}

// Bytes of an 8-bit encoding as text. Undetermined bytes that read as UTF-8
// are taken for it; bytes that cannot be converted are kept as read rather
// than lost.
void DecodeBytes(std::string& data, std::string_view encoding, const XmlPlatform& platform, int textCodePage,
                 std::string& text, std::string& records) {
  if (!encoding.empty() && EncodingsDiffer(encoding, "", platform, textCodePage)) {
    ConversionResult r = ConvertText(encoding, data, "", text, platform, textCodePage);
    if (r.ok) {
      AddConversion(records, "converted_to", text.size(), r.loss);
    } else {
      text = std::move(data);
    }
    return;
  }
  text = std::move(data);
  if (!encoding.empty()) return;
  size_t nonAscii = 0;
  if (IsUtf8Text(text, &nonAscii)) {
    ResultRecord("read").Text("encoding", "UTF-8").UpdateIn(records);
    if (nonAscii != 0 && EncodingsDiffer("UTF-8", "", platform, textCodePage)) {
      std::string converted;
      ConversionResult r = ConvertText("UTF-8", text, "", converted, platform, textCodePage);
      if (r.ok) {
        text = std::move(converted);
        AddConversion(records, "converted_to", text.size(), r.loss);
      }
    }
  }
  ResultRecord("utf8_detection").AppendTo(records);
}

// Loading, step 3: the bytes after the mark as text in textCodePage; false
// when UTF-16 cannot be converted to it.
bool Decode(std::string& data, const DetectedEncoding& encoding, const XmlPlatform& platform, int textCodePage,
            std::string& text, std::string& records) {
  ResultRecord("read")
      .Text("encoding", encoding.name)
      .Number("length", static_cast<int64_t>(data.size() / encoding.unitSize))
      .AppendTo(records);
  if (data.empty()) return true;
  if (size_t removed = RemoveNuls(data, encoding.unitSize)) {
    ResultRecord("nulls_removed").Number("count", static_cast<int64_t>(removed)).AppendTo(records);
  }
  if (encoding.flag == kDocUtf16Be) {
    SwapUnits(data);
    ResultRecord("endian_swap").AppendTo(records);
  }
  if (encoding.unitSize == 2) {
    ConversionResult r = ConvertCodePage(kCodePageUtf16, data, textCodePage, text, platform);
    AddConversion(records, "converted_to", text.size(), r.loss);
    return r.ok;
  }
  DecodeBytes(data, encoding.name, platform, textCodePage, text, records);
  return true;
}

// Saving, step 1: the text in the encoding of the mark or of its declaration
// (*out views text itself when it needs no conversion); false when the text
// cannot be converted to UTF-16.
bool Encode(std::string_view text, const ByteOrderMark* mark, std::string_view encoding, const XmlPlatform& platform,
            int textCodePage, std::string& converted, std::string_view* out, std::string& records) {
  *out = text;
  if (text.empty()) return true;
  if (mark != nullptr && mark->flag != kDocUtf8Bom) {
    ConversionResult r = ConvertCodePage(textCodePage, text, kCodePageUtf16, converted, platform);
    if (!r.ok) return false;
    ResultRecord("converted_from")
        .Text("encoding", "")
        .Number("length", static_cast<int64_t>(text.size()))
        .AppendTo(records);
    if (mark->flag == kDocUtf16Be) {
      SwapUnits(converted);
      ResultRecord("endian_swap").AppendTo(records);
    }
    if (r.loss) ResultRecord("conversion_loss").AppendTo(records);
    *out = converted;
  } else if (EncodingsDiffer(encoding, "", platform, textCodePage)) {
    ConversionResult r = ConvertText("", text, encoding, converted, platform, textCodePage);
    if (r.ok) {
      AddConversion(records, "converted_from", text.size(), r.loss);
      *out = converted;
    }
  }
  return true;
}

// The byte-order mark that document flags ask for, or none.
const ByteOrderMark* MarkOf(uint32_t flags) {
  for (const ByteOrderMark& mark : kMarks) {
    if ((flags & mark.flag) != 0) return &mark;
  }
  return nullptr;
}

bool WriteAll(std::FILE* file, std::string_view bytes) {
  return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// Saving, step 2: mark and encoded text into the open file.
bool WriteEncoded(std::FILE* file, std::string_view text, uint32_t flags, const XmlPlatform& platform, int textCodePage,
                  std::string& records, FileError* error) {
  const ByteOrderMark* mark = MarkOf(flags);
  std::string encoding;
  if (mark != nullptr) {
    encoding = mark->encoding;
    if (!WriteAll(file, mark->bytes)) {
      *error = platform.LastFileError();
      return false;
    }
    ResultRecord("bom").AppendTo(records);
  } else if (!text.empty()) {
    encoding = FindDeclaredEncoding(text);
    if (encoding.empty()) encoding = "UTF-8";
  }
  std::string converted;
  std::string_view out;
  if (!Encode(text, mark, encoding, platform, textCodePage, converted, &out, records)) {
    *error = {"", 0};
    return false;
  }
  if (!WriteAll(file, out)) {
    *error = platform.LastFileError();
    return false;
  }
  const size_t unitSize = mark != nullptr && mark->flag != kDocUtf8Bom ? 2 : 1;
  ResultRecord("write")
      .Text("encoding", encoding)
      .Number("length", static_cast<int64_t>(out.size() / unitSize))
      .AppendTo(records);
  return true;
}

// Saving, steps 1 and 2 into a new file at path, which is removed again
// when anything fails.
bool WriteNewFile(const std::string& path, std::string_view text, uint32_t flags, const XmlPlatform& platform,
                  int textCodePage, std::string& records) {
  FilePtr file(platform.OpenFile(path, "wb"));
  if (!file) {
    AddFileError(records, platform.LastFileError());
    return false;
  }
  FileError error;
  bool ok = WriteEncoded(file.get(), text, flags, platform, textCodePage, records, &error);
  if (ok && std::fflush(file.get()) != 0) {
    error = platform.LastFileError();
    ok = false;
  }
  if (!ok) {
    AddFileError(records, error);
    file.reset();
    platform.RemoveFile(path);
    return false;
  }
  if (std::fclose(file.release()) != 0) {
    AddFileError(records, platform.LastFileError());
    platform.RemoveFile(path);
    return false;
  }
  return true;
}

}  // namespace

bool IsUtf8Text(std::string_view text, size_t* nonAscii) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t sequences = 0;
  for (size_t i = 0; i < n; ++i) {
    const unsigned c = p[i];
    if (c == 0) break;
    if (c < 0x80) continue;
    size_t need;
    if ((c & 0x20) == 0) {
      need = 1;
    } else if ((c & 0x10) == 0) {
      need = 2;
    } else if ((c & 0x08) == 0) {
      need = 3;
    } else {
      return false;
    }
    for (size_t k = 1; k <= need; ++k) {
      if (i + k >= n || p[i + k] < 0x80) return false;
    }
    i += need;
    ++sequences;
  }
  if (nonAscii != nullptr) *nonAscii = sequences;
  return true;
}

int ConvertibleCodePage(std::string_view name, const XmlPlatform& platform, int textCodePage) {
  const int cp = name.empty() ? textCodePage : CodePageFromName(name);
  if (cp == kUnknownCodePage || !CanConvertCodePage(cp, platform)) return kUnknownCodePage;
  return cp;
}

bool EncodingsDiffer(std::string_view a, std::string_view b, const XmlPlatform& platform, int textCodePage) {
  const int ca = ConvertibleCodePage(a, platform, textCodePage);
  const int cb = ConvertibleCodePage(b, platform, textCodePage);
  return ca != kUnknownCodePage && cb != kUnknownCodePage && ca != cb;
}

std::string FindDeclaredEncoding(std::string_view text) {
  size_t pos = 0;
  bool sawStartTag = false;
  for (;;) {
    const MarkupNode node = NextNode(text, pos, nullptr);
    if (node.kind == kNodeEndOfText || node.kind == kNodeError) return {};
    pos = node.start + node.length;
    const size_t nodeEnd = pos;
    if (node.kind == kNodeProcessingInstruction && node.start == 0) {
      size_t i = 2;
      while (i < nodeEnd && !IsXmlSpace(static_cast<unsigned char>(text[i])) && text[i] != '?') ++i;
      if (!EqualsIgnoreCase(text.substr(2, i - 2), "xml")) continue;
      std::string_view value;
      if (!TagAttribute(text, i, nodeEnd, "encoding", &value)) return {};
      return std::string(value);
    }
    const std::string_view name = text.substr(node.nameStart, node.nameEnd - node.nameStart);
    if (node.kind == kNodeStartTag) {
      if (!sawStartTag) {
        sawStartTag = true;
        if (!EqualsIgnoreCase(name, "html")) return {};
        continue;
      }
      std::string_view equiv, content;
      if (EqualsIgnoreCase(name, "meta") && TagAttribute(text, node.nameEnd, nodeEnd, "http-equiv", &equiv) &&
          EqualsIgnoreCase(equiv, "Content-Type") && TagAttribute(text, node.nameEnd, nodeEnd, "content", &content)) {
        return CharsetOf(content);
      }
    } else if (node.kind == kNodeEndTag && EqualsIgnoreCase(name, "head")) {
      return {};
    }
  }
}

bool LoadTextFile(const std::string& path, std::string& text, std::string* result, uint32_t* flags,
                  const XmlPlatform& platform, int textCodePage) {
  std::string records;
  uint32_t f = (flags != nullptr ? *flags : 0) | kDocReadMode;
  text.clear();
  FilePtr file(platform.OpenFile(path, "rb"));
  if (!file) AddFileError(records, platform.LastFileError());
  std::string data;
  if (!file || !ReadAll(file.get(), platform, data, records)) {
    Finish(result, records, flags, f);
    return false;
  }
  const DetectedEncoding encoding = DetectEncoding(data);
  f = (f & ~kEncodingFlags) | encoding.flag;
  if (encoding.markLength != 0) ResultRecord("bom").AppendTo(records);
  data.erase(0, encoding.markLength);
  const bool ok = Decode(data, encoding, platform, textCodePage, text, records);
  if (!ok) {
    text.clear();
    AddFileError(records, {"", 0});
  }
  if (std::fclose(file.release()) != 0) AddFileError(records, platform.LastFileError());
  Finish(result, records, flags, f);
  return ok;
}

bool SaveTextFile(const std::string& path, std::string_view text, std::string* result, uint32_t* flags,
                  const XmlPlatform& platform, int textCodePage) {
  std::string records;
  const uint32_t f = (flags != nullptr ? *flags : 0) | kDocWriteMode;
  // Through a symbolic link the file it leads to is replaced, and the link
  // stays; the new text is written beside that file.
  std::string target;
  bool ok = platform.FinalPath(path, &target);
  if (!ok) {
    AddFileError(records, platform.LastFileError());
  } else {
    const std::string temp = target + ".tmp~";
    ok = WriteNewFile(temp, text, f, platform, textCodePage, records);
    if (ok && !platform.ReplaceFile(temp, target)) {
      AddFileError(records, platform.LastFileError());
      platform.RemoveFile(temp);
      ok = false;
    }
  }
  Finish(result, records, flags, f);
  return ok;
}

bool CXmlDocument::LoadFile(const std::string& path) {
  if ((docFlags_ & (kDocReadMode | kDocWriteMode)) != 0) return false;
  std::string text;
  uint32_t flags = docFlags_;
  const bool ok = LoadTextFile(path, text, &result_, &flags, *platform_, textCodePage_);
  docFlags_ = flags;
  // Only new text of its own makes such a document saveable again (a read
  // file or ParseText): edits alone build on an empty text that stands for
  // no file, and saving it would wipe the file it is written to.
  loadFailed_ = !ok;
  if (!ok) text.clear();
  if (text.capacity() < text.size() + EditSlack(text.size()) / 2) {
    text.reserve(text.size() + EditSlack(text.size()));
  }
  text_.Assign(std::move(text));
  if (!ok) {
    ParseDocument();
    return false;
  }
  return ParseDocument();
}

bool CXmlDocument::SaveFile(const std::string& path) {
  if (loadFailed_) return false;
  return SaveTextFile(path, text_.Str(), &result_, &docFlags_, *platform_, textCodePage_);
}

}  // namespace barsetup
