#include "workspace/toolbar_walk.h"

namespace barsetup {

int ButtonIndex(std::string_view guid, const ItemGuidTable& guids) {
  for (size_t k = 0; k < guids.size(); ++k) {
    if (guids[k] == guid) return static_cast<int>(k);
  }
  return -1;
}

bool EnterUiConfig(CXmlDocument& doc, ToolbarChanges& changes) {
  while (doc.LeaveElement()) {
  }
  doc.RewindElements();
  if (!doc.FindElement("uiConfig")) {
    changes.missing |= kNoUiConfig;
    return false;
  }
  return doc.EnterElement();
}

bool EnterToolbarBody(CXmlDocument& doc) {
  if (!doc.EnterElement()) return false;
  if (doc.FindElement("toolbar") || doc.FindElement("container")) return doc.EnterElement();
  doc.LeaveElement();
  return false;
}

}  // namespace barsetup
