#include "texts.h"

#include <array>

namespace plotsend {
namespace {

struct Entry {
  std::string english;
  std::string chinese;
};

// Indexed by TextId. Texts without a Chinese form of their own show the
// English one in both languages.
const std::array<Entry, 4>& Table() {
  static const std::array<Entry, 4> table = {{
      {"Save .PLT File Finished", "Save .PLT File Finished"},
      {"Save .PLT File Failed", "保存 .PLT 文件失败"},
      {"No output file given", "没有指定输出文件"},
      {"No job in the work directory", "工作目录中没有作业"},
  }};
  return table;
}

}  // namespace

const std::string& Text(TextId id, Language language) {
  const Entry& entry = Table()[static_cast<size_t>(id)];
  return language == Language::Chinese ? entry.chinese : entry.english;
}

}  // namespace plotsend
