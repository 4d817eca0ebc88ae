#include <array>
#include <string>

#include "workspace/document_edits.h"
#include "workspace/item_bitmap.h"
#include "workspace/toolbar_edit.h"
#include "workspace/toolbar_walk.h"

namespace barsetup {
namespace {

constexpr int kDockBarsExamined = 5;

// Whether a commandBar of the toolbar stands in any lane of any dockBar of
// the frame, floating or docked (the user may have moved it). Called inside
// the frame; leaves nothing current there.
bool FrameHoldsToolbar(CXmlDocument& doc, std::string_view toolbarGuid) {
  bool found = false;
  doc.RewindElements();
  while (!found && doc.FindElement("dockBar")) {
    doc.EnterElement();
    while (!found && doc.FindElement("cmdBarLane")) {
      doc.EnterElement();
      while (!found && doc.FindElement("commandBar")) found = doc.GetAttribute("guidRef") == toolbarGuid;
      doc.LeaveElement();
    }
    doc.LeaveElement();
  }
  doc.RewindElements();
  return found;
}

// Whether a child of the current parent named `name` has `attribute` equal
// to value; leaves nothing current.
bool HoldsChild(CXmlDocument& doc, std::string_view name, std::string_view attribute, std::string_view value) {
  bool found = false;
  doc.RewindElements();
  while (!found && doc.FindElement(name)) found = doc.GetAttribute(attribute) == value;
  doc.RewindElements();
  return found;
}

// Whether the current toolbar body holds any of the variant's buttons;
// leaves nothing current.
bool HoldsButton(CXmlDocument& doc, const ItemGuidTable& guids) {
  bool found = false;
  doc.RewindElements();
  while (!found && doc.FindElement("item")) found = ButtonIndex(doc.GetAttribute("guidRef"), guids) >= 0;
  doc.RewindElements();
  return found;
}

// Frame: the toolbar's commandBar at the end of the first lane of the first
// floating dockBar among the first five. Starts inside uiConfig and ends
// there with the frame current (or, without a frame, the position kept).
void AddPlacement(CXmlDocument& doc, DocumentEdits& e, const ToolbarVariant& v, ToolbarChanges& ch) {
  if (!doc.FindElement("frame")) {
    ch.missing |= kNoFrame;
    return;
  }
  e.Enter();
  if (FrameHoldsToolbar(doc, v.toolbarGuid)) {
    ch.present |= kPlacementPresent;
    e.Leave();
    return;
  }
  int dockBar = 0;
  bool floating = false;
  while (!floating && dockBar < kDockBarsExamined && doc.FindElement("dockBar")) {
    ++dockBar;
    floating = doc.GetAttribute("position") == "float";
  }
  if (!floating) {
    ch.missing |= kNoFloatingDockBar;
    e.Leave();
    return;
  }
  e.Enter();
  if (!doc.FindElement("cmdBarLane")) {
    e.Add("cmdBarLane");
    ++ch.lanesAdded;
  }
  e.Enter()
      .Add("commandBar")
      .Set("guidRef", v.toolbarGuid)
      .Set("floatX", v.floatX)
      .Set("floatY", v.floatY)
      .Set("visible", "true")
      .Leave(3);
  ch.floatingDockBar = dockBar;
  ++ch.commandBarsAdded;
}

// Host toolbar (current): items 1 to 6 and the trailing item ahead of its
// earlier items. Ends with the host current.
void AddHostButtons(CXmlDocument& doc, DocumentEdits& e, const ToolbarVariant& v, ToolbarChanges& ch) {
  if (!EnterToolbarBody(doc)) {
    ch.missing |= kNoHostBody;
    return;
  }
  if (HoldsButton(doc, *v.itemGuids)) {
    ch.present |= kHostButtonsPresent;
  } else {
    e.Add("item", kAddBefore).Set("guidRef", kTrailingItemGuid);
    for (size_t k = v.itemGuids->size(); k-- > 0;) e.Add("item", kAddBefore).Set("guidRef", (*v.itemGuids)[k]);
    ch.hostItemsAdded += static_cast<int>(v.itemGuids->size()) + 1;
  }
  e.Leave(2);
}

// The toolbar's commandBarData after the current element, with its body
// and six items. Ends with the new commandBarData current.
void AddDefinition(DocumentEdits& e, const ToolbarVariant& v, int version, std::string_view name, ToolbarChanges& ch) {
  e.Add("commandBarData")
      .Set("guid", v.toolbarGuid)
      .Set("type", "toolbar")
      .Set("nonLocalizableName", name)
      .Set("userCaption", name)
      .Set("userCreated", "true")
      .Enter();
  if (version >= kToolbarBodyVersion) {
    e.Add("toolbar");
  } else {
    e.Add("container").Set("floatWidth", v.floatWidth);
  }
  e.Enter();
  for (std::string_view guid : *v.itemGuids) e.Add("item").Set("guidRef", guid);
  e.Leave(2);
  ++ch.definitionsAdded;
}

// commandBars: the host's buttons and the toolbar's definition after the
// host (or the last commandBarData). Ends with commandBars current.
void AddDefinitions(CXmlDocument& doc, DocumentEdits& e, const ToolbarVariant& v, int version, std::string_view name,
                    ToolbarChanges& ch) {
  if (!doc.FindElement("commandBars")) {
    ch.missing |= kNoCommandBars;
    return;
  }
  e.Enter();
  const bool defined = HoldsChild(doc, "commandBarData", "guid", v.toolbarGuid);
  bool host = false;
  while (!host && doc.FindElement("commandBarData")) host = doc.GetAttribute("guid") == kHostToolbarGuid;
  if (host) {
    AddHostButtons(doc, e, v, ch);
  } else {
    ch.missing |= kNoHostToolbar;
  }
  if (defined) {
    ch.present |= kDefinitionPresent;
  } else {
    AddDefinition(e, v, version, name, ch);
  }
  e.Leave();
}

void AddPicture(DocumentEdits& e, std::string_view element, const CharPicture& picture) {
  e.Add(element).Set("xmlns:dt", kBitmapNamespace).Set("dt:dt", kBitmapDataType).Content(ItemBitmapText(picture));
}

// One itemData after the current element; ends with it current.
void AddItemDefinition(DocumentEdits& e, const ToolbarVariant& v, size_t k, int version) {
  const ItemDefinition& def = v.items[k];
  e.Add("itemData")
      .Set("guid", (*v.itemGuids)[k])
      .Set("dynamicCommand", def.dynamicCommand)
      .Set("dynamicCategory", kCommandCategory);
  if (version >= kItemIconVersion) {
    e.Set("icon", std::string(kIconPrefix).append(def.iconGuid));
    return;
  }
  if (v.writesBitmapPosition) e.Set("bmpCol", kBitmapColumn).Set("bmpRow", kBitmapRow);
  e.Set("userCaption", def.caption).Set("userToolTip", def.caption).Enter();
  AddPicture(e, "userSmallBitmap", *def.smallPicture);
  if (def.largePicture != nullptr) AddPicture(e, "userLargeBitmap", *def.largePicture);
  e.Leave();
}

// items, searched onward from the current position: the six itemData after
// its existing children, except those whose GUID is already defined there.
void AddItemDefinitions(CXmlDocument& doc, DocumentEdits& e, const ToolbarVariant& v, int version, ToolbarChanges& ch) {
  if (!doc.FindElement("items")) {
    ch.missing |= kNoItems;
    return;
  }
  e.Enter();
  std::array<bool, 6> defined{};
  while (doc.FindElement("itemData")) {
    const int k = ButtonIndex(doc.GetAttribute("guid"), *v.itemGuids);
    if (k >= 0) defined[static_cast<size_t>(k)] = true;
  }
  doc.RewindElements();
  for (size_t k = 0; k < defined.size(); ++k) {
    if (defined[k]) {
      ++ch.itemDefinitionsPresent;
      continue;
    }
    AddItemDefinition(e, v, k, version);
    ++ch.itemDefinitionsAdded;
  }
}

}  // namespace

bool AddToolbar(CXmlDocument& doc, const ToolbarVariant& variant, int version, std::string_view toolbarName,
                ToolbarChanges& changes) {
  changes = {};
  if (!EnterUiConfig(doc, changes)) return true;
  DocumentEdits e(doc);
  AddPlacement(doc, e, variant, changes);
  if (e.ok()) AddDefinitions(doc, e, variant, version, toolbarName, changes);
  if (e.ok()) AddItemDefinitions(doc, e, variant, version, changes);
  return e.ok();
}

}  // namespace barsetup
