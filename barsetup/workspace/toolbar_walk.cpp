#include "toolbar_walk.h"

namespace barsetup {

int ButtonIndex(std::string_view guid, const ItemGuidTable& guids) {
  for (size_t k = 0; k < guids.size(); ++k) {
    if (guids[k] == guid) return static_cast<int>(k);
  }
  return -1;
}

void RewindToTop(CXmlDocument& doc) {
  while (doc.LeaveElement()) {
  }
  doc.RewindElements();
}

bool EnterToolbarBody(CXmlDocument& doc) {
  if (!doc.EnterElement()) return false;
  if (doc.FindElement("toolbar") || doc.FindElement("container")) return doc.EnterElement();
  doc.LeaveElement();
  return false;
}

}  // namespace barsetup
