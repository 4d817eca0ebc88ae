#include "workspace/toolbar_changes.h"

namespace barsetup {
namespace {

// " added 2 item, removed 1 item" style counts; empty when both are 0.
std::string Counts(int added, int removed, const char* what) {
  std::string s;
  if (added != 0) s += " added " + std::to_string(added) + " " + what;
  if (removed != 0) {
    if (!s.empty()) s += ",";
    s += " removed " + std::to_string(removed) + " " + what;
  }
  return s;
}

void Line(std::string& out, const char* place, const std::string& what) {
  if (what.empty()) return;
  out += place;
  out += ":";
  out += what;
  out += "\n";
}

std::string Notes(unsigned bits, unsigned bit, const char* text) {
  return (bits & bit) != 0 ? std::string(" ") + text : std::string();
}

}  // namespace

std::string DescribeChanges(const ToolbarChanges& c) {
  std::string out;
  if ((c.missing & kNoUiConfig) != 0) out += "uiConfig: not found, nothing to change\n";

  std::string frame = Counts(c.lanesAdded, 0, "cmdBarLane");
  if (c.commandBarsAdded != 0) {
    if (!frame.empty()) frame += ",";
    frame += " added " + std::to_string(c.commandBarsAdded) + " commandBar (floating dockBar " +
             std::to_string(c.floatingDockBar) + ")";
  }
  frame += Counts(0, c.commandBarsRemoved, "commandBar");
  frame += Notes(c.missing, kNoFrame, "not found");
  frame += Notes(c.missing, kNoFloatingDockBar, "no floating dockBar among the first five");
  frame += Notes(c.present, kPlacementPresent, "toolbar already placed, left as it was");
  Line(out, "frame", frame);

  std::string host = Counts(c.hostItemsAdded, c.hostItemsRemoved, "item");
  host += Notes(c.missing, kNoHostToolbar, "not found");
  host += Notes(c.missing, kNoHostBody, "has no toolbar or container, no buttons");
  host += Notes(c.present, kHostButtonsPresent, "buttons already there, left as they were");
  Line(out, "host toolbar", host);

  std::string bars = Counts(c.definitionsAdded, c.definitionsRemoved, "commandBarData");
  bars += Notes(c.missing, kNoCommandBars, "not found");
  bars += Notes(c.present, kDefinitionPresent, "toolbar already defined, left as it was");
  Line(out, "commandBars", bars);

  std::string items = Counts(c.itemDefinitionsAdded, c.itemDefinitionsRemoved, "itemData");
  if (c.itemDefinitionsPresent != 0) {
    items += " " + std::to_string(c.itemDefinitionsPresent) + " itemData already there";
  }
  items += Notes(c.missing, kNoItems, "not found");
  Line(out, "items", items);

  if (out.empty()) out = "nothing of the toolbar found, nothing changed\n";
  return out;
}

}  // namespace barsetup
