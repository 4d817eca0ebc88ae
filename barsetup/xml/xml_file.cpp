#include "xml_file.h"

#include <cstring>
#include <memory>

#include "encoding_names.h"
#include "markup_tokenizer.h"
#include "result_log.h"
#include "text_convert.h"
#include "xml_document.h"

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

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return NamesEqual(a, b, true);
}

// The value of attribute name in the tag text[from, end), undecoded.
bool TagAttribute(std::string_view text, size_t from, size_t end, std::string_view name,
                  std::string_view* value) {
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
    while (end < content.size() && !IsXmlSpace(static_cast<unsigned char>(content[end])) &&
           content[end] != ';' && content[end] != ',' && content[end] != '"' && content[end] != '\'') {
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
    const char* first = static_cast<const char*>(std::memchr(data.data(), 0, data.size()));
    if (first == nullptr) return 0;
    out = static_cast<size_t>(first - data.data());
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

bool EncodingsDiffer(std::string_view a, std::string_view b, const XmlPlatform& platform,
                     int textCodePage) {
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
      if (EqualsIgnoreCase(name, "meta") &&
          TagAttribute(text, node.nameEnd, nodeEnd, "http-equiv", &equiv) &&
          EqualsIgnoreCase(equiv, "Content-Type") &&
          TagAttribute(text, node.nameEnd, nodeEnd, "content", &content)) {
        return CharsetOf(content);
      }
    } else if (node.kind == kNodeEndTag && EqualsIgnoreCase(name, "head")) {
      return {};
    }
  }
}

bool LoadTextFile(const std::string& path, std::string& text, std::string* result,
                  uint32_t* flags, const XmlPlatform& platform, int textCodePage) {
  std::string records;
  uint32_t f = (flags != nullptr ? *flags : 0) | kDocReadMode;
  text.clear();
  FilePtr file(platform.OpenFile(path, "rb"));
  if (!file) {
    AddFileError(records, platform.LastFileError());
    Finish(result, records, flags, f);
    return false;
  }
  long size = -1;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) size = std::ftell(file.get());
  if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
    AddFileError(records, platform.LastFileError());
    Finish(result, records, flags, f);
    return false;
  }
  if (static_cast<unsigned long>(size) > kMaxDocumentText) {
    AddFileError(records, platform.FileTooLargeError());
    Finish(result, records, flags, f);
    return false;
  }
  std::string data;
  data.reserve(static_cast<size_t>(size) + EditSlack(static_cast<size_t>(size)));
  data.resize(static_cast<size_t>(size));
  if (!data.empty() && std::fread(data.data(), 1, data.size(), file.get()) != data.size()) {
    AddFileError(records, platform.LastFileError());
    Finish(result, records, flags, f);
    return false;
  }

  // Byte-order mark, else a declaration in the first kilobyte.
  f &= ~kEncodingFlags;
  std::string encoding;
  size_t markLength = 0, unitSize = 1;
  for (const ByteOrderMark& mark : kMarks) {
    if (data.compare(0, mark.bytes.size(), mark.bytes) == 0) {
      f |= mark.flag;
      encoding = mark.encoding;
      markLength = mark.bytes.size();
      unitSize = mark.flag == kDocUtf8Bom ? 1 : 2;
      break;
    }
  }
  if (markLength == 0 && !data.empty()) {
    encoding = FindDeclaredEncoding(std::string_view(data).substr(0, 1024));
    if (encoding.empty() && data[0] == '<') encoding = "UTF-8";
  }
  if (markLength != 0) ResultRecord("bom").AppendTo(records);
  data.erase(0, markLength);

  bool ok = true;
  if (data.empty()) {
    ResultRecord("read").Text("encoding", encoding).Number("length", 0).AppendTo(records);
  } else {
    ResultRecord("read")
        .Text("encoding", encoding)
        .Number("length", static_cast<int64_t>(data.size() / unitSize))
        .AppendTo(records);
    if (size_t removed = RemoveNuls(data, unitSize)) {
      ResultRecord("nulls_removed").Number("count", static_cast<int64_t>(removed)).AppendTo(records);
    }
    if ((f & kDocUtf16Be) != 0) {
      SwapUnits(data);
      ResultRecord("endian_swap").AppendTo(records);
    }
    if ((f & (kDocUtf16Le | kDocUtf16Be)) != 0) {
      ConversionResult r = ConvertCodePage(kCodePageUtf16, data, textCodePage, text, platform);
      ok = r.ok;
      AddConversion(records, "converted_to", text.size(), r.loss);
    } else if (encoding.empty() || !EncodingsDiffer(encoding, "", platform, textCodePage)) {
      const bool undetermined = encoding.empty();
      text = std::move(data);
      size_t nonAscii = 0;
      if (undetermined && IsUtf8Text(text, &nonAscii)) {
        encoding = "UTF-8";
        ResultRecord("read").Text("encoding", encoding).UpdateIn(records);
        if (nonAscii != 0 && EncodingsDiffer(encoding, "", platform, textCodePage)) {
          std::string converted;
          ConversionResult r = ConvertText(encoding, text, "", converted, platform, textCodePage);
          if (r.ok) {
            text = std::move(converted);
            AddConversion(records, "converted_to", text.size(), r.loss);
          }
        }
      }
      if (undetermined) ResultRecord("utf8_detection").AppendTo(records);
    } else {
      ConversionResult r = ConvertText(encoding, data, "", text, platform, textCodePage);
      if (r.ok) {
        AddConversion(records, "converted_to", text.size(), r.loss);
      } else {
        text = std::move(data);  // kept as read rather than lost
      }
    }
  }
  if (!ok) {
    text.clear();
    AddFileError(records, {"", 0});
  }
  if (std::fclose(file.release()) != 0) AddFileError(records, platform.LastFileError());
  Finish(result, records, flags, f);
  return ok;
}

bool SaveTextFile(const std::string& path, std::string_view text, std::string* result,
                  uint32_t* flags, const XmlPlatform& platform, int textCodePage) {
  std::string records;
  uint32_t f = (flags != nullptr ? *flags : 0) | kDocWriteMode;
  // Through a symbolic link the file it leads to is replaced, and the link
  // stays; the new text is written beside that file.
  std::string target;
  if (!platform.FinalPath(path, &target)) {
    AddFileError(records, platform.LastFileError());
    Finish(result, records, flags, f);
    return false;
  }
  const std::string temp = target + ".tmp~";
  FilePtr file(platform.OpenFile(temp, "wb"));
  if (!file) {
    AddFileError(records, platform.LastFileError());
    Finish(result, records, flags, f);
    return false;
  }
  auto fail = [&](const FileError& error) {
    AddFileError(records, error);
    file.reset();
    platform.RemoveFile(temp);
    Finish(result, records, flags, f);
    return false;
  };
  auto write = [&](std::string_view bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  };

  std::string encoding;
  const ByteOrderMark* mark = nullptr;
  for (const ByteOrderMark& m : kMarks) {
    if ((f & m.flag) != 0) {
      mark = &m;
      break;
    }
  }
  if (mark != nullptr) {
    encoding = mark->encoding;
    if (!write(mark->bytes)) return fail(platform.LastFileError());
    ResultRecord("bom").AppendTo(records);
  } else if (!text.empty()) {
    encoding = FindDeclaredEncoding(text);
    if (encoding.empty()) encoding = "UTF-8";
  }

  if (text.empty()) {
    ResultRecord("write").Text("encoding", encoding).Number("length", 0).AppendTo(records);
  } else {
    std::string converted;
    std::string_view out = text;
    size_t unitSize = 1;
    if (mark != nullptr && mark->flag != kDocUtf8Bom) {
      unitSize = 2;
      ConversionResult r = ConvertCodePage(textCodePage, text, kCodePageUtf16, converted, platform);
      if (!r.ok) return fail({"", 0});
      ResultRecord("converted_from").Text("encoding", "").Number("length", static_cast<int64_t>(text.size())).AppendTo(records);
      if (mark->flag == kDocUtf16Be) {
        SwapUnits(converted);
        ResultRecord("endian_swap").AppendTo(records);
      }
      if (r.loss) ResultRecord("conversion_loss").AppendTo(records);
      out = converted;
    } else if (EncodingsDiffer(encoding, "", platform, textCodePage)) {
      ConversionResult r = ConvertText("", text, encoding, converted, platform, textCodePage);
      if (r.ok) {
        AddConversion(records, "converted_from", text.size(), r.loss);
        out = converted;
      }
    }
    if (!write(out)) return fail(platform.LastFileError());
    ResultRecord("write")
        .Text("encoding", encoding)
        .Number("length", static_cast<int64_t>(out.size() / unitSize))
        .AppendTo(records);
  }
  if (std::fflush(file.get()) != 0) return fail(platform.LastFileError());
  if (std::fclose(file.release()) != 0) {
    AddFileError(records, platform.LastFileError());
    platform.RemoveFile(temp);
    Finish(result, records, flags, f);
    return false;
  }
  if (!platform.ReplaceFile(temp, target)) {
    AddFileError(records, platform.LastFileError());
    platform.RemoveFile(temp);
    Finish(result, records, flags, f);
    return false;
  }
  Finish(result, records, flags, f);
  return true;
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
