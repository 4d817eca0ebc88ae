#include "app/texts.h"

#include <array>

namespace plotsend {
namespace {

struct Entry {
  std::string english;
  std::string chinese;
};

// Indexed by TextId. Texts without a Chinese form of their own show the
// English one in both languages.
const auto& Table() {
  static const auto table = std::to_array<Entry>({
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
      {"Open File Failed", "Open File Failed"},
      {"Max Section Mumbers : 50 !", "Max Section Mumbers : 50 !"},
      {"open markref file fail!", "open markref file fail!"},
      {"buffer not  enough !", "buffer not  enough !"},
      {"Settings in config.ini outside their range were not used, the defaults stand",
       "config.ini 中超出范围的设置未被使用，仍使用默认值"},
      {"The settings could not be saved in config.ini", "无法将设置保存到 config.ini"},
      {"Out of range", "超出范围"},
      {"send cancelled: the cutter received part of the job", "发送已取消：切割机只收到了部分作业"},
      {"send cancelled: the cutter received part of the job; the job was removed",
       "发送已取消：切割机只收到了部分作业；作业已删除"},
      {"A job is already being handled in this work directory", "此工作目录中已有作业正在处理"},
      {"The job file changed during the run; run again to use the new job",
       "作业文件在运行期间被更改；请重新运行以使用新作业"},
      {"A new job file arrived during the run; it stays for the next run",
       "运行期间收到了新的作业文件；它将保留给下一次运行"},
      // %s: the list of what was found, from the entries below and command names.
      {"the drawing uses %s: only PU/PD with coordinates are read; the cut may not match the drawing",
       "图形使用了 %s：只读取带坐标的 PU/PD；切割结果可能与图形不符"},
      {"bare PU/PD", "不带坐标的 PU/PD"},
      {"decimal coordinates", "小数坐标"},
      {"out-of-range coordinates", "超出范围的坐标"},
      {"more than 50 m", "超过 50 米的尺寸"},
      // %s: the cut length, the pen-up travel as drawn and as ordered, in metres.
      {"cut %s m, travel %s m -> %s m", "切割 %s 米，空走 %s 米 -> %s 米"},
      // %s: the port, its group, the group again.
      {"%s cannot be opened: permission denied; add your user to the group %s (sudo usermod -aG %s $USER) "
       "and log in again",
       "%s 无法打开：没有权限；请把用户加入 %s 组（sudo usermod -aG %s $USER）后重新登录"},
      // %s: the work directory.
      {"cannot write the work files in %s", "无法在 %s 中写入工作文件"},
  });
  return table;
}

// One control a line, in the same order in both languages.
// clang-format off
constexpr std::array<ControlText, 20> kEnglishControls = {{
    {1024, "About..."},
    {1046, "Defaut IP"},
    {1014, "Port\xEF\xBC\x9A"},  // with a full-width colon
    {1016, "Status:"},
    {1017, "Ploter Compensation"},
    {1008, "Offset"},
    {1009, "Close"},
    {1039, "Origin Offset"},
    {1006, "Start"},
    {1007, "U Disk File"},
    {1005, "Cancel"},
    {1004, "Close"},
    {1047, "Output Sections "},
    {1050, "From"},
    {1051, "To"},
    {1052, "WIFI Log On Test"},
    {1054, "dashed line"},
    {1056, "line"},
    {1055, "gap"},
    {1060, "Optimise cut order"},
}};

constexpr std::array<ControlText, 20> kChineseControls = {{
    {1024, "关于..."},
    {1046, "默认 IP"},
    {1014, "端口选择:"},
    {1016, "状态:"},
    {1017, "补偿设置"},
    {1008, "尖角补偿"},
    {1009, "闭合补偿"},
    {1039, "原点偏移"},
    {1006, "开始"},
    {1007, "生成U盘文件"},
    {1005, "取消"},
    {1004, "关闭"},
    {1047, "输出段选择"},
    {1050, "从"},
    {1051, "到"},
    {1052, "WIFI 连接测试"},
    {1054, "输出虚线"},
    {1056, "线长"},
    {1055, "间隔"},
    {1060, "优化切割顺序"},
}};
// clang-format on

}  // namespace

TextId TextOf(JobMessage message) {
  switch (message) {
    case JobMessage::OpenFileFailed: return TextId::OpenFileFailed;
    case JobMessage::MaxSectionNumbers: return TextId::MaxSectionNumbers;
    case JobMessage::OpenMarkRefFailed: return TextId::OpenMarkRefFailed;
    case JobMessage::JobChanged: return TextId::JobChanged;
    case JobMessage::MarkRefTooLong: break;
  }
  return TextId::MarkRefTooLong;
}

std::span<const ControlText> ControlTexts(Language language) {
  if (language == Language::Chinese) return kChineseControls;
  return kEnglishControls;
}

std::string DialogTitle() {
  constexpr int kMajor = 6, kMinor = 27;
  return "Plotara  " + std::to_string(kMajor) + "." + std::to_string(kMinor);
}

std::string TextWith(TextId id, Language language, std::initializer_list<std::string_view> values) {
  std::string text = Text(id, language);
  size_t from = 0;
  for (const std::string_view value : values) {
    const size_t at = text.find("%s", from);
    if (at == std::string::npos) break;
    text.replace(at, 2, value);
    from = at + value.size();
  }
  return text;
}

const std::string& Text(TextId id, Language language) {
  const Entry& entry = Table()[static_cast<size_t>(id)];
  return language == Language::Chinese ? entry.chinese : entry.english;
}

}  // namespace plotsend
