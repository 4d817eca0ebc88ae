// Result records: the run of empty elements with attributes that describes
// the last parse, load or save of a document.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace barsetup {

// Once the result string is longer than this, no record is appended.
inline constexpr size_t kResultLimit = 999;

class ResultRecord {
 public:
  explicit ResultRecord(std::string_view name) : name_(name) {}

  // The text attribute ("type", "encoding", "msg" or "tagname").
  ResultRecord& Text(std::string_view attr, std::string_view value);
  // The number attribute ("n", "count", "length" or "offset"); an "offset"
  // of -1 is left out.
  ResultRecord& Number(std::string_view attr, int64_t value);
  // "offset2"; -1 is left out.
  ResultRecord& Offset2(int64_t value);

  // Appends `<name attr="..." .../>` unless the result is over the limit.
  void AppendTo(std::string& result) const;
  // Sets the attributes on the first record of this name in result, or
  // appends the record when there is none.
  void UpdateIn(std::string& result) const;

 private:
  std::string_view name_;
  std::string_view textAttr_;
  std::optional<std::string> text_;
  std::string_view numberAttr_;
  std::optional<int64_t> number_;
  std::optional<int64_t> offset2_;
};

}  // namespace barsetup
