#include <string>

#include "workspace/document_edits.h"
#include "workspace/toolbar_edit.h"
#include "workspace/toolbar_walk.h"

namespace barsetup {
namespace {

// Frame: the toolbar's commandBar entries in the first lane of every
// floating dockBar. Ends with the frame current.
void RemovePlacements(CXmlDocument& doc, DocumentEdits& e, const ToolbarVariant& v, ToolbarChanges& ch) {
  if (!doc.FindElement("frame")) {
    ch.missing |= kNoFrame;
    return;
  }
  e.Enter();
  while (e.ok() && doc.FindElement("dockBar")) {
    if (doc.GetAttribute("position") != "float") continue;
    e.Enter();
    if (doc.FindElement("cmdBarLane")) {
      e.Enter();
      while (e.ok() && doc.FindElement("commandBar")) {
        if (doc.GetAttribute("guidRef") != v.toolbarGuid) continue;
        e.Remove();
        ++ch.commandBarsRemoved;
      }
      e.Leave();
    }
    e.Leave();
  }
  e.Leave();
}

// Host toolbar (current): the variant's buttons, and the trailing item when
// it is the item right after the sixth button removed. A trailing item
// anywhere else is CorelDRAW's or the user's and stays. Ends with the host
// current.
void RemoveHostButtons(CXmlDocument& doc, DocumentEdits& e, const ToolbarVariant& v, ToolbarChanges& ch) {
  if (!EnterToolbarBody(doc)) return;
  int count = 0;
  bool afterSixth = false;
  while (e.ok() && doc.FindElement("item")) {
    const std::string guid = doc.GetAttribute("guidRef");
    const bool followsSixth = afterSixth;
    afterSixth = false;
    if (ButtonIndex(guid, *v.itemGuids) >= 0) {
      e.Remove();
      afterSixth = ++count == static_cast<int>(v.itemGuids->size());
    } else if (followsSixth && guid == kTrailingItemGuid) {
      e.Remove();
      ++count;
    } else {
      continue;
    }
    ++ch.hostItemsRemoved;
  }
  e.Leave(2);
}

// commandBars: the toolbar's commandBarData entries and the buttons of the
// host toolbar. Ends with commandBars current.
void RemoveDefinitions(CXmlDocument& doc, DocumentEdits& e, const ToolbarVariant& v, ToolbarChanges& ch) {
  if (!doc.FindElement("commandBars")) {
    ch.missing |= kNoCommandBars;
    return;
  }
  e.Enter();
  while (e.ok() && doc.FindElement("commandBarData")) {
    if (doc.GetAttribute("guid") == v.toolbarGuid) {
      e.Remove();
      ++ch.definitionsRemoved;
    }
    // After a removal its previous sibling is current: the host, when the
    // definition followed it as the addition placed it.
    if (doc.GetAttribute("guid") == kHostToolbarGuid) RemoveHostButtons(doc, e, v, ch);
  }
  e.Leave();
}

// items: the variant's itemData entries.
void RemoveItemDefinitions(CXmlDocument& doc, DocumentEdits& e, const ToolbarVariant& v, ToolbarChanges& ch) {
  if (!doc.FindElement("items")) {
    ch.missing |= kNoItems;
    return;
  }
  e.Enter();
  while (e.ok() && doc.FindElement("itemData")) {
    if (ButtonIndex(doc.GetAttribute("guid"), *v.itemGuids) < 0) continue;
    e.Remove();
    ++ch.itemDefinitionsRemoved;
  }
  e.Leave();
}

}  // namespace

bool RemoveToolbar(CXmlDocument& doc, const ToolbarVariant& variant, ToolbarChanges& changes) {
  changes = {};
  if (!EnterUiConfig(doc, changes)) return true;
  DocumentEdits e(doc);
  RemovePlacements(doc, e, variant, changes);
  if (e.ok()) RemoveDefinitions(doc, e, variant, changes);
  if (e.ok()) RemoveItemDefinitions(doc, e, variant, changes);
  return e.ok();
}

}  // namespace barsetup
