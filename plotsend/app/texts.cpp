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
const std::array<Entry, 8>& Table() {
  static const std::array<Entry, 8> table = {{
      {"Save .PLT File Finished", "Save .PLT File Finished"},
      {"Save .PLT File Failed", "保存 .PLT 文件失败"},
      {"No output file given", "没有指定输出文件"},
      {"No job in the work directory", "工作目录中没有作业"},
      {"The output file is one of the job's work files", "输出文件是作业的工作文件之一"},
      {"The job could not be read", "无法读取作业"},
      {"The job's mark values could not be read", "无法读取作业的标记值"},
      {"The job holds no cutting moves", "作业中没有切割路径"},
  }};
  return table;
}

}  // namespace

const std::string& Text(TextId id, Language language) {
  const Entry& entry = Table()[static_cast<size_t>(id)];
  return language == Language::Chinese ? entry.chinese : entry.english;
}

}  // namespace plotsend
