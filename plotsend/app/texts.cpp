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
const std::array<Entry, 19>& Table() {
  static const std::array<Entry, 19> table = {{
      {"Save .PLT File Finished", "Save .PLT File Finished"},
      {"Save .PLT File Failed", "保存 .PLT 文件失败"},
      {"No output file given", "没有指定输出文件"},
      {"No job in the work directory", "工作目录中没有作业"},
      {"The output file is one of the job's work files", "输出文件是作业的工作文件之一"},
      {"The job could not be read", "无法读取作业"},
      {"The job's mark values could not be read", "无法读取作业的标记值"},
      {"The job holds no cutting moves", "作业中没有切割路径"},
      {"port closed", "端口关闭"},
      {"open port fail!", "打开端口失败"},
      {"open USB port fail!", "打开USB端口失败"},
      {"Wifi Log On Ok", "Wifi 连接成功"},
      {"Wifi Log On Fail", "Wifi 连接失败"},
      {"Click Ok  After Press Key Origin", "按键盘原点键切换后，点击确定按钮"},
      {"HeapAlloc Memory Failed", "HeapAlloc Memory Failed"},
      {"Tcp/ip Port Disconnect", "Tcp/ip Port Disconnect"},
      {"send failed", "发送失败"},
      {"The job was not completely sent to the cutter; its files are kept and it can be sent again",
       "作业没有完整发送到切割机；作业文件已保留，可以重新发送"},
      {"The command file could not be read", "无法读取命令文件"},
  }};
  return table;
}

}  // namespace

const std::string& Text(TextId id, Language language) {
  const Entry& entry = Table()[static_cast<size_t>(id)];
  return language == Language::Chinese ? entry.chinese : entry.english;
}

}  // namespace plotsend
