// What one toolbar addition or removal did to a document, place by place,
// and what it looked for and did not find.
#pragma once

#include <string>

namespace barsetup {

// Places a pass needed and did not find.
inline constexpr unsigned kNoUiConfig = 0x01;
inline constexpr unsigned kNoFrame = 0x02;
inline constexpr unsigned kNoFloatingDockBar = 0x04;  // none among the first five dockBars
inline constexpr unsigned kNoCommandBars = 0x08;
inline constexpr unsigned kNoHostToolbar = 0x10;
inline constexpr unsigned kNoHostBody = 0x20;  // host has neither "toolbar" nor "container"
inline constexpr unsigned kNoItems = 0x40;

// Pieces an addition found already in place and did not add again.
inline constexpr unsigned kPlacementPresent = 0x01;
inline constexpr unsigned kHostButtonsPresent = 0x02;
inline constexpr unsigned kDefinitionPresent = 0x04;

struct ToolbarChanges {
  // frame: the floating toolbar's commandBar entries.
  int floatingDockBar = 0;  // the dockBar (1 to 5) that took the new commandBar
  int lanesAdded = 0;
  int commandBarsAdded = 0;
  int commandBarsRemoved = 0;
  // commandBars: buttons and trailing item at the front of the host toolbar.
  int hostItemsAdded = 0;
  int hostItemsRemoved = 0;
  // commandBars: the toolbar's own commandBarData.
  int definitionsAdded = 0;
  int definitionsRemoved = 0;
  // items: the itemData entries.
  int itemDefinitionsAdded = 0;
  int itemDefinitionsRemoved = 0;
  int itemDefinitionsPresent = 0;

  unsigned missing = 0;  // kNo... bits
  unsigned present = 0;  // k...Present bits

  bool Changed() const {
    return lanesAdded + commandBarsAdded + commandBarsRemoved + hostItemsAdded + hostItemsRemoved + definitionsAdded +
               definitionsRemoved + itemDefinitionsAdded + itemDefinitionsRemoved !=
           0;
  }
};

// One line per place, e.g. "items: added 6 itemData".
std::string DescribeChanges(const ToolbarChanges& changes);

}  // namespace barsetup
