#include "xml/xml_escape.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/unicode.h"
#include "xml/encoding_names.h"
#include "xml/text_convert.h"

namespace barsetup {
namespace {

struct Entity {
  std::string_view name;
  uint32_t codePoint;
};

// The character entities of HTML 4.01, and "apos".
// clang-format off
constexpr std::string_view kLatin1Names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
    "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
    "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
    "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
    "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
// clang-format on

// clang-format off
constexpr Entity kOtherEntities[] = {
    {"fnof", 402},      {"Alpha", 913},    {"Beta", 914},     {"Gamma", 915},
    {"Delta", 916},     {"Epsilon", 917},  {"Zeta", 918},     {"Eta", 919},
    {"Theta", 920},     {"Iota", 921},     {"Kappa", 922},    {"Lambda", 923},
    {"Mu", 924},        {"Nu", 925},       {"Xi", 926},       {"Omicron", 927},
    {"Pi", 928},        {"Rho", 929},      {"Sigma", 931},    {"Tau", 932},
    {"Upsilon", 933},   {"Phi", 934},      {"Chi", 935},      {"Psi", 936},
    {"Omega", 937},     {"alpha", 945},    {"beta", 946},     {"gamma", 947},
    {"delta", 948},     {"epsilon", 949},  {"zeta", 950},     {"eta", 951},
    {"theta", 952},     {"iota", 953},     {"kappa", 954},    {"lambda", 955},
    {"mu", 956},        {"nu", 957},       {"xi", 958},       {"omicron", 959},
    {"pi", 960},        {"rho", 961},      {"sigmaf", 962},   {"sigma", 963},
    {"tau", 964},       {"upsilon", 965},  {"phi", 966},      {"chi", 967},
    {"psi", 968},       {"omega", 969},    {"thetasym", 977}, {"upsih", 978},
    {"piv", 982},       {"bull", 8226},    {"hellip", 8230},  {"prime", 8242},
    {"Prime", 8243},    {"oline", 8254},   {"frasl", 8260},   {"weierp", 8472},
    {"image", 8465},    {"real", 8476},    {"trade", 8482},   {"alefsym", 8501},
    {"larr", 8592},     {"uarr", 8593},    {"rarr", 8594},    {"darr", 8595},
    {"harr", 8596},     {"crarr", 8629},   {"lArr", 8656},    {"uArr", 8657},
    {"rArr", 8658},     {"dArr", 8659},    {"hArr", 8660},    {"forall", 8704},
    {"part", 8706},     {"exist", 8707},   {"empty", 8709},   {"nabla", 8711},
    {"isin", 8712},     {"notin", 8713},   {"ni", 8715},      {"prod", 8719},
    {"sum", 8721},      {"minus", 8722},   {"lowast", 8727},  {"radic", 8730},
    {"prop", 8733},     {"infin", 8734},   {"ang", 8736},     {"and", 8743},
    {"or", 8744},       {"cap", 8745},     {"cup", 8746},     {"int", 8747},
    {"there4", 8756},   {"sim", 8764},     {"cong", 8773},    {"asymp", 8776},
    {"ne", 8800},       {"equiv", 8801},   {"le", 8804},      {"ge", 8805},
    {"sub", 8834},      {"sup", 8835},     {"nsub", 8836},    {"sube", 8838},
    {"supe", 8839},     {"oplus", 8853},   {"otimes", 8855},  {"perp", 8869},
    {"sdot", 8901},     {"lceil", 8968},   {"rceil", 8969},   {"lfloor", 8970},
    {"rfloor", 8971},   {"lang", 9001},    {"rang", 9002},    {"loz", 9674},
    {"spades", 9824},   {"clubs", 9827},   {"hearts", 9829},  {"diams", 9830},
    {"quot", 34},       {"amp", 38},       {"lt", 60},        {"gt", 62},
    {"OElig", 338},     {"oelig", 339},    {"Scaron", 352},   {"scaron", 353},
    {"Yuml", 376},      {"circ", 710},     {"tilde", 732},    {"ensp", 8194},
    {"emsp", 8195},     {"thinsp", 8201},  {"zwnj", 8204},    {"zwj", 8205},
    {"lrm", 8206},      {"rlm", 8207},     {"ndash", 8211},   {"mdash", 8212},
    {"lsquo", 8216},    {"rsquo", 8217},   {"sbquo", 8218},   {"ldquo", 8220},
    {"rdquo", 8221},    {"bdquo", 8222},   {"dagger", 8224},  {"Dagger", 8225},
    {"permil", 8240},   {"lsaquo", 8249},  {"rsaquo", 8250},  {"euro", 8364},
    {"apos", 39}};
// clang-format on

constexpr size_t kEntityCount = 96 + sizeof(kOtherEntities) / sizeof(kOtherEntities[0]);

constexpr std::array<Entity, kEntityCount> SortedEntities() {
  std::array<Entity, kEntityCount> all{};
  for (size_t i = 0; i < 96; ++i) all[i] = {kLatin1Names[i], static_cast<uint32_t>(160 + i)};
  for (size_t i = 96; i < kEntityCount; ++i) all[i] = kOtherEntities[i - 96];
  std::sort(all.begin(), all.end(), [](const Entity& a, const Entity& b) { return a.name < b.name; });
  return all;
}

constexpr std::array<Entity, kEntityCount> kEntities = SortedEntities();

uint32_t FindExact(std::string_view name) {
  auto it = std::lower_bound(kEntities.begin(), kEntities.end(), name,
                             [](const Entity& e, std::string_view key) { return e.name < key; });
  return it != kEntities.end() && it->name == name ? it->codePoint : 0;
}

bool IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Length of the reference at in[i] ("&" ... ";"), 0 if it is none.
size_t ReferenceLength(std::string_view in, size_t i) {
  size_t k = i + 1;
  if (k >= in.size()) return 0;
  auto c = static_cast<unsigned char>(in[k]);
  if (!(c == '#' || c == ':' || c == '_' || IsAsciiLetter(c) || c >= 0x80)) return 0;
  for (++k; k < in.size(); ++k) {
    c = static_cast<unsigned char>(in[k]);
    if (c == ';') return k - i + 1;
    if (!(IsAsciiLetter(c) || IsDigit(c) || c == '-' || c == '.' || c == ':' || c == '_' || c >= 0x80)) {
      return 0;
    }
  }
  return 0;
}

// strtol over a short digit string: optional blanks and sign, digits in
// base, stop at the first other character; saturating.
long ParseLong(std::string_view s, int base) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (base == 16 && i + 1 < s.size() && s[i] == '0' && (s[i + 1] | 0x20) == 'x') i += 2;
  long v = 0;
  for (; i < s.size(); ++i) {
    int d;
    auto c = static_cast<unsigned char>(s[i]);
    if (IsDigit(c)) {
      d = c - '0';
    } else if (base == 16 && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
      d = (c | 0x20) - 'a' + 10;
    } else {
      break;
    }
    if (v > 0x7FFFFFF) {
      v = 0x7FFFFFFF;  // far beyond any code point
      continue;
    }
    v = v * base + d;
  }
  return negative ? -v : v;
}

// The code point of the reference at value[i]: "&", a name or "#" number of
// at most 9 characters, ";" (*semi is set to its offset). 0 when it is none,
// unknown, 0 or a surrogate.
uint32_t ParseReference(std::string_view value, size_t i, size_t* semi) {
  const std::string_view window = value.substr(i + 1, 10);
  const size_t length = window.find(';');
  if (length == std::string_view::npos) return 0;
  *semi = i + 1 + length;
  const std::string_view name = window.substr(0, length);
  if (name.empty() || name[0] != '#') return LookupEntity(name);
  const long v =
      (name.size() > 1 && (name[1] | 0x20) == 'x') ? ParseLong(name.substr(2), 16) : ParseLong(name.substr(1), 10);
  // Surrogate code points are no characters.
  return v > 0 && v <= 0x10FFFF && !plotara::IsSurrogate(static_cast<uint32_t>(v)) ? static_cast<uint32_t>(v) : 0;
}

}  // namespace

size_t EntityCount() { return kEntityCount; }

uint32_t LookupEntity(std::string_view name) {
  if (uint32_t cp = FindExact(name)) return cp;
  std::string folded(name);
  bool changed = false;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
      changed = true;
    }
  }
  return changed ? FindExact(folded) : 0;
}

void AppendEscaped(std::string& out, std::string_view in, unsigned flags) {
  const bool quotes = (flags & kEscapeQuotes) != 0;
  const bool keepRefs = (flags & kEscapeKeepReferences) != 0;
  size_t copied = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    std::string_view rep;
    switch (c) {
      case '&':
        if (keepRefs && ReferenceLength(in, i) != 0) continue;
        rep = "&amp;";
        break;
      case '<': rep = "&lt;"; break;
      case '>': rep = "&gt;"; break;
      case '"':
        if (!quotes) continue;
        rep = "&quot;";
        break;
      case '\'':
        if (!quotes) continue;
        rep = "&apos;";
        break;
      default: continue;
    }
    out.append(in.data() + copied, i - copied);
    out.append(rep);
    copied = i + 1;
  }
  out.append(in.data() + copied, in.size() - copied);
}

std::string Escape(std::string_view in, unsigned flags) {
  std::string out;
  out.reserve(in.size() + in.size() / 10 + 7);
  AppendEscaped(out, in, flags);
  return out;
}

std::string DecodeValue(std::string_view value, int textCodePage, const XmlPlatform& platform) {
  const char* amp = static_cast<const char*>(std::memchr(value.data(), '&', value.size()));
  if (amp == nullptr) return std::string(value);
  std::string out;
  out.reserve(value.size());
  size_t copied = 0;
  for (size_t i = static_cast<size_t>(amp - value.data()); i < value.size(); ++i) {
    if (value[i] != '&') continue;
    size_t semi = 0;
    const uint32_t cp = ParseReference(value, i, &semi);
    if (cp == 0) continue;  // stays as written; decoding resumes after the "&"
    const std::string encoded = EncodeCodePoint(cp, textCodePage, platform);
    if (encoded.empty()) continue;
    out.append(value.data() + copied, i - copied);
    out.append(encoded);
    i = semi;
    copied = semi + 1;
  }
  out.append(value.data() + copied, value.size() - copied);
  return out;
}

}  // namespace barsetup
