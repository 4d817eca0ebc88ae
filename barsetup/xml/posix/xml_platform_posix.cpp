// POSIX adapter of the XML platform port: iconv for code pages, stdio and
// errno for files.
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "xml/encoding_names.h"
#include "xml/xml_platform.h"

namespace barsetup {
namespace {

// iconv names of the Windows code pages of the encoding-name table. The
// table's code pages that glibc has no converter for are left out: 708,
// 720, 853, 10001-10006, 10008, 10010, 10021, 10081, 10082, 20000-20005,
// 20105, 29001, 50221, 50222, 50227, 52936 and 57002-57011. Such a code
// page is reported unsupported, and a file in it is then read and written
// as it is, without conversion, like a file whose encoding is unknown.
// UTF-8, UTF-16 and UTF-32 are converted by the core itself.
struct IconvName {
  int codePage;
  const char* name;
};

// clang-format off
constexpr IconvName kIconvNames[] = {
    {154, "PT154"},        {437, "CP437"},        {737, "CP737"},
    {775, "CP775"},        {850, "CP850"},        {852, "CP852"},
    {855, "CP855"},        {857, "CP857"},        {858, "CP858"},
    {860, "CP860"},        {861, "CP861"},        {862, "CP862"},
    {863, "CP863"},        {864, "CP864"},        {865, "CP865"},
    {866, "CP866"},        {869, "CP869"},        {874, "CP874"},
    {932, "CP932"},        {936, "CP936"},        {949, "CP949"},
    {950, "CP950"},        {1125, "CP1125"},      {1133, "CP1133"},
    {1250, "CP1250"},      {1251, "CP1251"},      {1252, "CP1252"},
    {1253, "CP1253"},      {1254, "CP1254"},      {1255, "CP1255"},
    {1256, "CP1256"},      {1257, "CP1257"},      {1258, "CP1258"},
    {1361, "JOHAB"},       {10000, "MACINTOSH"},  {10007, "MAC-CYRILLIC"},
    {10017, "MAC-UK"},     {10029, "MAC-CENTRALEUROPE"}, {10079, "MAC-IS"},
    {20106, "ISO646-DE"},  {20107, "ISO646-SE"},  {20108, "ISO646-NO"},
    {20127, "ASCII"},      {20261, "T.61-8BIT"},  {20269, "ISO_6937"},
    {20866, "KOI8-R"},     {20932, "EUC-JP"},     {20936, "GB2312"},
    {20949, "EUC-KR"},     {21866, "KOI8-U"},     {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"}, {28593, "ISO-8859-3"}, {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"}, {28596, "ISO-8859-6"}, {28597, "ISO-8859-7"},
    {28598, "ISO-8859-8"}, {28599, "ISO-8859-9"}, {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"}, {38598, "ISO-8859-8"}, {50220, "ISO-2022-JP"},
    {50225, "ISO-2022-KR"}, {51932, "EUC-JP-MS"}, {51936, "EUC-CN"},
    {51949, "EUC-KR"},     {54936, "GB18030"},    {65000, "UTF-7"},
};
// clang-format on

const char* IconvNameOf(int codePage) {
  for (const IconvName& n : kIconvNames) {
    if (n.codePage == codePage) return n.name;
  }
  return nullptr;
}

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Runs in through cd into out. A unit that cannot be converted is replaced
// by `replacement` (after a return to the initial shift state) and skipped;
// as on Windows, each UTF-16 unit of an unmappable surrogate pair gets its
// own replacement.
void Run(iconv_t cd, std::string_view in, std::string& out, std::string_view replacement, size_t unit, bool* replaced) {
  out.clear();
  std::string buffer(in.size() * 2 + 64, '\0');
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  auto flush = [&](char* begin, char* end) { out.append(begin, static_cast<size_t>(end - begin)); };
  for (;;) {
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    size_t r =
        inLeft != 0 ? iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) : iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    const int err = errno;
    flush(buffer.data(), outPtr);
    if (r != static_cast<size_t>(-1)) {
      if (inLeft == 0) {
        // Return to the initial shift state at the end.
        outPtr = buffer.data();
        outLeft = buffer.size();
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        flush(buffer.data(), outPtr);
        return;
      }
      continue;
    }
    if (err == E2BIG) continue;
    // EILSEQ or an incomplete unit at the end.
    outPtr = buffer.data();
    outLeft = buffer.size();
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    flush(buffer.data(), outPtr);
    out.append(replacement);
    *replaced = true;
    size_t skip = unit < inLeft ? unit : inLeft;
    if (err == EINVAL) skip = inLeft;
    inPtr += skip;
    inLeft -= skip;
    if (inLeft == 0) return;
  }
}

class PosixXmlPlatform final : public XmlPlatform {
 public:
  int SystemCodePage() const override { return kCodePageUtf8; }

  bool SupportsCodePage(int codePage) const override {
    const char* name = IconvNameOf(codePage);
    if (name == nullptr) return false;
    Converter c(name, "UTF-16LE");
    return c.ok();
  }

  bool ToWide(int codePage, std::string_view in, std::u16string& out, bool* lossy) const override {
    const char* name = IconvNameOf(codePage);
    if (name == nullptr) return false;
    Converter c("UTF-16LE", name);
    if (!c.ok()) return false;
    static constexpr char kReplacement[] = "\xFD\xFF";  // U+FFFD, little-endian
    bool replaced = false;
    std::string bytes;
    Run(c.get(), in, bytes, std::string_view(kReplacement, 2), 1, &replaced);
    out.resize(bytes.size() / 2);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
    if (replaced && lossy != nullptr) *lossy = true;
    return true;
  }

  bool FromWide(int codePage, std::u16string_view in, std::string& out, bool checkDefault,
                bool* usedDefault) const override {
    const char* name = IconvNameOf(codePage);
    if (name == nullptr) return false;
    Converter c(name, "UTF-16LE");
    if (!c.ok()) return false;
    std::string bytes;
    bytes.reserve(in.size() * 2);
    for (char16_t u : in) {
      bytes.push_back(static_cast<char>(u & 0xFF));
      bytes.push_back(static_cast<char>(u >> 8));
    }
    bool replaced = false;
    Run(c.get(), bytes, out, "?", 2, &replaced);
    if (checkDefault && usedDefault != nullptr) *usedDefault = replaced;
    return true;
  }

  // A directory opens for reading with fopen; it is refused as Windows
  // refuses it, with the system's own reason.
  std::FILE* OpenFile(const std::string& path, const char* mode) const override {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), mode);
    struct stat st;
    if (file != nullptr && ::fstat(fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {
      std::fclose(file);
      errno = EISDIR;
      return nullptr;
    }
    return file;
  }

  bool FinalPath(const std::string& path, std::string* target) const override {
    std::string current = path;
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
      struct stat st;
      // Not a link (or nothing there yet): this is the file to write.
      if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        *target = std::move(current);
        return true;
      }
      std::string link;
      if (!ReadLink(current, static_cast<size_t>(st.st_size), &link)) return false;
      if (link[0] == '/') {
        current = std::move(link);
      } else {
        // Relative to the directory that holds the link.
        const size_t slash = current.rfind('/');
        current.resize(slash == std::string::npos ? 0 : slash + 1);
        current += link;
      }
    }
    errno = ELOOP;
    return false;
  }

  bool ReplaceFile(const std::string& source, const std::string& target) const override {
    struct stat kept;
    if (::stat(target.c_str(), &kept) == 0 && !TakeOwnerAndMode(source, kept)) return false;
    return std::rename(source.c_str(), target.c_str()) == 0;
  }

  void RemoveFile(const std::string& path) const override { ::unlink(path.c_str()); }

  FileError LastFileError() const override { return ErrorFor(errno); }
  FileError FileTooLargeError() const override { return ErrorFor(EFBIG); }

 private:
  // The replacement takes the owner, group and permission bits of the file
  // it replaces. False when that is not allowed (the file is someone else's
  // and this process may not give files away): it must not replace it then.
  static bool TakeOwnerAndMode(const std::string& path, const struct stat& kept) {
    struct stat own;
    if (::stat(path.c_str(), &own) != 0) return false;
    if ((own.st_uid != kept.st_uid || own.st_gid != kept.st_gid) &&
        ::chown(path.c_str(), kept.st_uid, kept.st_gid) != 0) {
      return false;
    }
    return ::chmod(path.c_str(), kept.st_mode & 07777) == 0;
  }

  // As many links as the kernel follows in one path lookup.
  static constexpr int kMaxLinkHops = 40;

  // The text of a symbolic link; size is what lstat reported (0 on some
  // file systems), so the buffer grows until the text fits.
  static bool ReadLink(const std::string& path, size_t size, std::string* link) {
    std::string buffer(size + 1 > 256 ? size + 1 : 256, '\0');
    for (;;) {
      const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
      if (n < 0) return false;
      if (static_cast<size_t>(n) < buffer.size()) {
        buffer.resize(static_cast<size_t>(n));
        if (buffer.empty()) {
          errno = ENOENT;
          return false;
        }
        *link = std::move(buffer);
        return true;
      }
      buffer.resize(buffer.size() * 2);
    }
  }

  static FileError ErrorFor(int code) {
    FileError e;
    e.number = code;
    char buffer[256];
    e.message = Message(strerror_r(code, buffer, sizeof buffer), buffer);
    const size_t cut = e.message.find_first_of("\r\n");
    if (cut != std::string::npos) e.message.resize(cut);
    return e;
  }
  // strerror_r comes in a GNU form (returns the text) and an XSI one.
  static std::string Message(const char* text, const char*) { return text != nullptr ? text : ""; }
  static std::string Message(int rc, const char* buffer) { return rc == 0 ? buffer : ""; }
};

}  // namespace

const XmlPlatform& DefaultXmlPlatform() {
  static const PosixXmlPlatform platform;
  return platform;
}

}  // namespace barsetup
