#include "xml/result_log.h"

#include <charconv>

#include "xml/xml_document.h"
#include "xml/xml_escape.h"

namespace barsetup {
namespace {

void AppendNumber(std::string& out, int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

}  // namespace

ResultRecord& ResultRecord::Text(std::string_view attr, std::string_view value) {
  textAttr_ = attr;
  text_ = std::string(value);
  return *this;
}

ResultRecord& ResultRecord::Number(std::string_view attr, int64_t value) {
  numberAttr_ = attr;
  if (attr == "offset" && value == -1) {
    number_.reset();
  } else {
    number_ = value;
  }
  return *this;
}

ResultRecord& ResultRecord::Offset2(int64_t value) {
  if (value == -1) {
    offset2_.reset();
  } else {
    offset2_ = value;
  }
  return *this;
}

void ResultRecord::AppendTo(std::string& result) const {
  if (result.size() > kResultLimit) return;
  result.push_back('<');
  result.append(name_);
  if (text_) {
    result.push_back(' ');
    result.append(textAttr_);
    result.append("=\"");
    AppendEscaped(result, *text_, kEscapeQuotes);
    result.push_back('"');
  }
  if (number_) {
    result.push_back(' ');
    result.append(numberAttr_);
    result.append("=\"");
    AppendNumber(result, *number_);
    result.push_back('"');
  }
  if (offset2_) {
    result.append(" offset2=\"");
    AppendNumber(result, *offset2_);
    result.push_back('"');
  }
  result.append("/>");
}

void ResultRecord::UpdateIn(std::string& result) const {
  CXmlDocument records;
  records.ParseText(result);
  if (!records.FindElement(name_)) {
    AppendTo(result);
    return;
  }
  std::string number;
  if (text_) records.SetAttribute(textAttr_, *text_);
  if (number_) {
    AppendNumber(number, *number_);
    records.SetAttribute(numberAttr_, number);
  }
  if (offset2_) {
    number.clear();
    AppendNumber(number, *offset2_);
    records.SetAttribute("offset2", number);
  }
  result = records.Text();
}

}  // namespace barsetup
