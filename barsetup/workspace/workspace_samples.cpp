#include "workspace/workspace_samples.h"

#include <cstdio>

namespace barsetup {
namespace {

std::string FakeGuid(unsigned n) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%08x-0000-4000-8000-%012x", n * 2654435761u, n);
  return buf;
}

void CommandBar(std::string& t, unsigned n, const char* body) {
  t += "\t\t<commandBarData guid=\"" + FakeGuid(n) + "\" type=\"toolbar\" nonLocalizableName=\"Bar " +
       std::to_string(n) + "\">\r\n\t\t\t<" + body + ">\r\n";
  for (unsigned k = 0; k < 4; ++k) t += "\t\t\t\t<item guidRef=\"" + FakeGuid(n * 16 + k) + "\"/>\r\n";
  t += "\t\t\t</" + std::string(body) + ">\r\n\t\t</commandBarData>\r\n";
}

void ItemData(std::string& t, unsigned n) {
  t += "\t\t<itemData guid=\"" + FakeGuid(n) + "\" dynamicCommand=\"Macro.M" + std::to_string(n) +
       ".Run\" userCaption=\"Run &amp; go\">\r\n\t\t\t<userSmallBitmap "
       "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\" dt:dt=\"bin.base64\">" +
       std::string(72, 'Q') + "\n\t\t\t\t\t\t\t" + std::string(40, 'Q') + "==</userSmallBitmap>\r\n\t\t</itemData>\r\n";
}

}  // namespace

std::string SampleUiConfig(int version, size_t padTo) {
  const char* body = version < 17 ? "container" : "toolbar";
  std::string t;
  t.reserve(padTo + 4096);
  t += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<uiConfig>\r\n\t<frame name=\"DRAW\">\r\n";
  t += "\t\t<dockBar position=\"top\">\r\n\t\t\t<cmdBarLane>\r\n\t\t\t\t<commandBar guidRef=\"" + FakeGuid(1) +
       "\"/>\r\n\t\t\t</cmdBarLane>\r\n\t\t</dockBar>\r\n";
  t += "\t\t<dockBar position=\"left\"/>\r\n";
  t += "\t\t<dockBar position=\"float\">\r\n\t\t\t<cmdBarLane>\r\n\t\t\t\t<commandBar guidRef=\"" + FakeGuid(2) +
       "\" floatX=\"400\" floatY=\"300\" visible=\"false\"/>\r\n\t\t\t</cmdBarLane>\r\n" +
       "\t\t\t<cmdBarLane>\r\n\t\t\t\t<commandBar guidRef=\"" + FakeGuid(3) +
       "\"/>\r\n\t\t\t</cmdBarLane>\r\n\t\t</dockBar>\r\n";
  t += "\t</frame>\r\n\t<commandBars>\r\n";
  CommandBar(t, 10, body);
  t += std::string(
           "\t\t<commandBarData guid=\"7c905e2a-cb64-4ba1-aff0-c306f392680c\" type=\"toolbar\" "
           "nonLocalizableName=\"Toolbox\">\r\n\t\t\t<") +
       body + ">\r\n\t\t\t\t<item guidRef=\"" + FakeGuid(20) + "\"/>\r\n\t\t\t\t<item guidRef=\"" + FakeGuid(21) +
       "\"/>\r\n\t\t\t</" + body + ">\r\n\t\t</commandBarData>\r\n";
  unsigned n = 30;
  const size_t barsEnd = padTo / 3;
  do {
    CommandBar(t, n++, body);
  } while (t.size() < barsEnd);
  t += "\t</commandBars>\r\n\t<items>\r\n";
  do {
    ItemData(t, n++);
  } while (t.size() + 32 < padTo);
  t += "\t</items>\r\n</uiConfig>\r\n";
  return t;
}

}  // namespace barsetup
