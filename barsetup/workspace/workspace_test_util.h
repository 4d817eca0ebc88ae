// Helpers of the toolbar tests: small documents, picture contents taken out
// of a text, and a base64 decoder of the tests' own.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_document.h"

namespace barsetup::test {

// A UI configuration with a docked and a floating dockBar, three command
// bars with the host toolbar in the middle, and one item definition. BODY
// stands for the toolbar body element.
inline std::string SmallUiConfig(std::string_view body) {
  std::string t =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
      "<uiConfig>\r\n"
      "  <frame>\r\n"
      "    <dockBar position=\"top\"><cmdBarLane><commandBar guidRef=\"top-bar\"/></cmdBarLane></dockBar>\r\n"
      "    <dockBar position=\"float\">\r\n"
      "      <cmdBarLane>\r\n"
      "        <commandBar guidRef=\"user-float\" floatX=\"5\" floatY=\"6\" visible=\"true\"/>\r\n"
      "      </cmdBarLane>\r\n"
      "    </dockBar>\r\n"
      "  </frame>\r\n"
      "  <commandBars>\r\n"
      "    <commandBarData guid=\"standard-bar\"><BODY><item guidRef=\"s1\"/></BODY></commandBarData>\r\n"
      "    <commandBarData guid=\"7c905e2a-cb64-4ba1-aff0-c306f392680c\" type=\"toolbar\">\r\n"
      "      <BODY>\r\n"
      "        <item guidRef=\"h1\"/>\r\n"
      "      </BODY>\r\n"
      "    </commandBarData>\r\n"
      "    <commandBarData guid=\"menu-bar\" type=\"menu\"/>\r\n"
      "  </commandBars>\r\n"
      "  <items>\r\n"
      "    <itemData guid=\"user-item\" userCaption=\"Mine\"/>\r\n"
      "  </items>\r\n"
      "</uiConfig>\r\n";
  for (size_t at; (at = t.find("BODY")) != std::string::npos;) t.replace(at, 4, body);
  return t;
}

// text with insert placed right before the first `anchor` that follows `after`.
inline std::string InsertBefore(std::string text, std::string_view after, std::string_view anchor,
                                std::string_view insert) {
  const size_t from = text.find(after);
  EXPECT_NE(from, std::string::npos) << after;
  const size_t at = text.find(anchor, from == std::string::npos ? 0 : from);
  EXPECT_NE(at, std::string::npos) << anchor;
  if (at != std::string::npos) text.insert(at, insert);
  return text;
}

// Replaces the content of every base64 picture element by "@" and returns
// the contents in document order.
inline std::vector<std::string> TakePictures(std::string& text) {
  static constexpr std::string_view kOpen = "dt:dt=\"bin.base64\">";
  std::vector<std::string> pictures;
  for (size_t at = 0; (at = text.find(kOpen, at)) != std::string::npos;) {
    at += kOpen.size();
    const size_t end = text.find("</", at);
    if (end == std::string::npos) break;
    pictures.push_back(text.substr(at, end - at));
    text.replace(at, end - at, 1, '@');
  }
  return pictures;
}

// Standard base64; false on any character outside the alphabet or bad padding.
inline bool DecodeBase64(std::string_view in, std::string* out) {
  out->clear();
  if (in.size() % 4 != 0) return false;
  auto value = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
  };
  for (size_t i = 0; i < in.size(); i += 4) {
    const bool last = i + 4 == in.size();
    const int pad = last ? (in[i + 3] == '=') + (in[i + 2] == '=') : 0;
    unsigned v = 0;
    for (int k = 0; k < 4; ++k) {
      const int d = k >= 4 - pad ? 0 : value(in[i + k]);
      if (d < 0) return false;
      v = v << 6 | static_cast<unsigned>(d);
    }
    out->push_back(static_cast<char>(v >> 16));
    if (pad < 2) out->push_back(static_cast<char>(v >> 8 & 0xFF));
    if (pad < 1) out->push_back(static_cast<char>(v & 0xFF));
  }
  return true;
}

// A picture element's content: lines of 72 characters, each after the
// first beginning with a line feed and seven tabs. Returns the joined base64.
inline std::string JoinPictureLines(std::string_view content) {
  static constexpr std::string_view kBreak = "\n\t\t\t\t\t\t\t";
  std::string joined;
  size_t at = 0;
  for (;;) {
    const size_t next = content.find(kBreak, at);
    const std::string_view line = content.substr(at, next == std::string_view::npos ? next : next - at);
    if (next != std::string_view::npos) {
      EXPECT_EQ(line.size(), 72u);
    } else {
      EXPECT_LE(line.size(), 72u);
      EXPECT_FALSE(line.empty());
    }
    joined.append(line);
    if (next == std::string_view::npos) break;
    at = next + kBreak.size();
  }
  return joined;
}

// The text of a fresh parse is well formed and holds as many elements.
inline void ExpectWellFormed(const std::string& text) {
  CXmlDocument doc;
  EXPECT_TRUE(doc.ParseText(text)) << text;
}

}  // namespace barsetup::test
