#include "app/texts.h"

#include <array>
#include <vector>

namespace plotmark {
namespace {

struct Entry {
  std::string english;
  std::string chinese;
};

const std::array<Entry, static_cast<size_t>(TextId::Count_)>& Table() {
  static const std::array<Entry, static_cast<size_t>(TextId::Count_)> table = {{
      {"usage: plotmark [--workdir DIR] DESIGN [options]\n"
       "  DESIGN              an SVG or HP-GL/PLT file\n"
       "  --cut-stroke COLOR  cut only the shapes stroked in COLOR (#rrggbb, #rgb or a name)\n"
       "  --cut-id ID         cut only the shapes inside the element with this id\n"
       "  --outline MM        cut the outer outline of everything printed, grown by MM\n"
       "  --marks TYPE        registration mark type 0 to 9 (default 1)\n"
       "  --margin MM         mark centre to the cut's bounding box (default 10)\n"
       "  --sections N        output sections, 1 to 50 (default 1)\n"
       "  --mark-size MM      diameter of mark circles (default 5)\n"
       "  --mark-arm MM       arm length of L-shaped marks (default 10)\n"
       "  --mark-line MM      line width of marks; L bars are twice as thick (default 0.5)\n"
       "  --code N            a coded job with code number N (0 to 99999)\n"
       "  --sheet NAME        print sheet NAME.svg (and NAME.pdf, NAME.png where available)\n"
       "  --page A4|A3|WxH    the sheet's page (default: a page that fits)\n"
       "  --replace           replace an unsent job in the work directory\n"
       "  --start             start Plotsend afterwards (Windows)\n"
       "  --workdir DIR       the work directory (default: Plotsend's)\n",
       "用法: plotmark [--workdir 目录] 设计文件 [选项]\n"
       "  设计文件            SVG 或 HP-GL/PLT 文件\n"
       "  --cut-stroke 颜色   只切割以该颜色描边的图形 (#rrggbb、#rgb 或颜色名)\n"
       "  --cut-id ID         只切割该 id 元素内的图形\n"
       "  --outline 毫米      切割所有打印内容的外轮廓, 向外扩展指定毫米\n"
       "  --marks 类型        定位标记类型 0 到 9 (默认 1)\n"
       "  --margin 毫米       标记中心到切割外框的距离 (默认 10)\n"
       "  --sections 段数     输出段数, 1 到 50 (默认 1)\n"
       "  --mark-size 毫米    标记圆的直径 (默认 5)\n"
       "  --mark-arm 毫米     L 形标记的边长 (默认 10)\n"
       "  --mark-line 毫米    标记线宽; L 形标记粗细为其两倍 (默认 0.5)\n"
       "  --code 编号         编码作业, 编号 0 到 99999\n"
       "  --sheet 名称        打印页 名称.svg (可用时另有 名称.pdf 和 名称.png)\n"
       "  --page A4|A3|宽x高  打印页尺寸 (默认: 刚好容纳的页面)\n"
       "  --replace           替换工作目录中尚未发送的作业\n"
       "  --start             完成后启动 Plotsend (Windows)\n"
       "  --workdir 目录      工作目录 (默认: 与 Plotsend 相同)\n"},
      {"cannot read %1", "无法读取 %1"},
      {"%1 is neither SVG nor HP-GL/PLT", "%1 既不是 SVG 也不是 HP-GL/PLT 文件"},
      {"%1 is a compressed SVG (.svgz): save it as plain SVG", "%1 是压缩的 SVG (.svgz): 请另存为普通 SVG"},
      {"%1 is not a readable SVG: %2", "%1 不是可读的 SVG: %2"},
      {"nothing to cut in %1", "%1 中没有可切割的图形"},
      {"%1 holds only text (%2 text elements), which cannot be cut: convert the text to curves first",
       "%1 只有文字 (%2 个文字对象), 文字无法切割: 请先将文字转换为曲线"},
      {"no shape in %1 is stroked in %2", "%1 中没有以 %2 描边的图形"},
      {"no element with id \"%1\", nor a layer of that name, in %2",
       "%2 中没有 id 为 \"%1\" 的元素, 也没有该名称的图层"},
      {"the design is %1 x %2 mm; the largest side is 50 m", "设计尺寸为 %1 x %2 毫米; 最大边长为 50 米"},
      {"sections must be 1 to 50, not %1", "段数必须为 1 到 50, 而不是 %1"},
      {"mark type must be 0 to 9, not %1", "标记类型必须为 0 到 9, 而不是 %1"},
      {"the margin (%1 mm) must be larger than the marks (%2 mm) and at most 1000 mm",
       "边距 (%1 毫米) 必须大于标记 (%2 毫米) 且不超过 1000 毫米"},
      {"the outline distance must be above 0 and at most 1000 mm, not %1",
       "轮廓距离必须大于 0 且不超过 1000 毫米, 而不是 %1"},
      {"the code number must be 0 to 99999, not %1", "编码必须为 0 到 99999, 而不是 %1"},
      {"unknown page size %1: give A4, A3 or WxH in mm", "未知的页面尺寸 %1: 请使用 A4、A3 或 宽x高 (毫米)"},
      {"the sheet needs %1 x %2 mm, more than the page %3", "打印页需要 %1 x %2 毫米, 超出页面 %3"},
      {"an unsent job is in %1: give --replace to replace it", "%1 中有尚未发送的作业: 使用 --replace 替换它"},
      {"Plotsend is running on %1: close it first", "Plotsend 正在使用 %1: 请先关闭它"},
      {"cannot make the work directory %1", "无法创建工作目录 %1"},
      {"cannot write %1", "无法写入 %1"},
      {"cannot start %1", "无法启动 %1"},
      {"--start starts Plotsend.exe on Windows; here run: plotsend --workdir %1 start",
       "--start 用于 Windows 的 Plotsend.exe; 此处请运行: plotsend --workdir %1 start"},
      {"%1 text elements are not cut: convert text to curves to cut it",
       "%1 个文字对象未切割: 如需切割请先将文字转换为曲线"},
      {"%1 are not followed (drawn on the sheet, not cut): convert them to paths to cut them",
       "%1 未处理 (会打印, 但不切割): 如需切割请转换为路径"},
      {"HP-GL commands skipped: %1", "已跳过的 HP-GL 命令: %1"},
      {"this build cannot render PDF or PNG; only %1 was written", "此版本无法生成 PDF 或 PNG; 只写入了 %1"},
      {"design %1: %2 x %3 mm, %4 paths", "设计 %1: %2 x %3 毫米, %4 条路径"},
      {"cut: %1 paths, %2 x %3 mm, cut length %4 mm, pen-up travel %5 mm",
       "切割: %1 条路径, %2 x %3 毫米, 切割长度 %4 毫米, 抬刀移动 %5 毫米"},
      {"marks: type %1, margin %2 mm, MarkSpanX %3, MarkSpanY %4, sections %5",
       "标记: 类型 %1, 边距 %2 毫米, MarkSpanX %3, MarkSpanY %4, 段数 %5"},
      {"wrote %1", "已写入 %1"},
      {"warning: %1", "警告: %1"},
      {"started %1", "已启动 %1"},
      {"%1 needs a directory", "%1 需要一个目录"},
      {"--cut-stroke needs a colour such as #ff0000 or red", "--cut-stroke 需要一个颜色, 例如 #ff0000 或 red"},
      {"--cut-id needs an id", "--cut-id 需要一个 id"},
      {"%1 needs a number of millimetres", "%1 需要一个毫米数值"},
      {"--marks needs a mark type 0 to 9", "--marks 需要标记类型 0 到 9"},
      {"%1 needs a whole number", "%1 需要一个整数"},
      {"%1 needs a file name", "%1 需要一个文件名"},
      {"give one of --cut-stroke, --cut-id and --outline", "--cut-stroke、--cut-id 和 --outline 只能选一个"},
      {"unknown option %1", "未知选项 %1"},
      {"give one design, not %1 and %2", "只能给一个设计文件, 而不是 %1 和 %2"},
      {"no design given", "没有给出设计文件"},
      {"--start: Plotsend takes its job from %1, not from %2", "--start: Plotsend 从 %1 读取作业, 而不是 %2"},
      {"cannot lock the work directory %1 (%2): a Plotsend started meanwhile would not wait for the job",
       "无法锁定工作目录 %1 (%2): 其间启动的 Plotsend 不会等待此作业"},
      {"rendering %1 and %2 ...", "正在生成 %1 和 %2 ..."},
  }};
  return table;
}

}  // namespace

const std::string& TextOf(TextId id, Language language) {
  const Entry& e = Table()[static_cast<size_t>(id)];
  return language == Language::Chinese ? e.chinese : e.english;
}

std::string Say(TextId id, Language language, std::initializer_list<std::string> args) {
  const std::string& text = TextOf(id, language);
  const std::vector<std::string> a(args);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const size_t k = static_cast<size_t>(text[i + 1] - '1');
      if (k < a.size()) out += a[k];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace plotmark
