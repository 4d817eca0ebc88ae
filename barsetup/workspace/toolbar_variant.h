// The data of the two toolbar variants: the constants both share, the item
// GUID tables, and each variant's toolbar GUID, placement and six item
// definitions.
#pragma once

#include <array>
#include <string_view>

#include "workspace/toolbar_pictures.h"

namespace barsetup {

// The existing CorelDRAW toolbar that receives the buttons at its front.
inline constexpr std::string_view kHostToolbarGuid = "7c905e2a-cb64-4ba1-aff0-c306f392680c";
// The item placed after the six buttons in the host toolbar.
inline constexpr std::string_view kTrailingItemGuid = "266435b4-6e53-460f-9fa7-f45be187d400";
// "dynamicCategory" of every item definition.
inline constexpr std::string_view kCommandCategory = "2cc24a3e-fe24-4708-9a74-9c75406eebcd";
// "xmlns:dt" and "dt:dt" of every picture element.
inline constexpr std::string_view kBitmapNamespace = "urn:schemas-microsoft-com:datatypes";
inline constexpr std::string_view kBitmapDataType = "bin.base64";
// Caption and internal name of the toolbar when none is given.
inline constexpr std::string_view kDefaultToolbarName = "KV";
// Prefix of an item definition's "icon" value.
inline constexpr std::string_view kIconPrefix = "guid://";

using ItemGuidTable = std::array<std::string_view, 6>;

inline constexpr ItemGuidTable ItemGuidsStandard = {
    "63d5897e-4f43-430a-b339-65788eed2ec7", "391d1eab-7fad-4ec0-92e0-dd3e8c972dd9",
    "6904e0c4-92a3-4554-b983-35235c63a197", "a14cda0f-4e3e-4ff3-8f54-eff9b1a5795a",
    "4b14bc4c-30f8-4a6f-b127-28663fba4a0d", "f7e6319e-98e3-4628-a8dc-fa5e38e02d13"};

inline constexpr ItemGuidTable ItemGuidsQ5 = {
    "26a05b13-bde8-4f22-ae57-ff4bc19cda27", "3c571918-cda5-4152-be0e-6787aecf2e42",
    "b4c3ca37-8a54-4f5b-83cf-e6ee5c550db5", "319db18f-1cde-40ef-b7d5-84d04eae0322",
    "43bfecbf-5d2b-4d11-a16c-49800ee4ef2e", "7a9cd445-617e-4c48-96ca-cefbfbe39300"};

// One button: the macro it runs, its caption (also the tooltip), the icon
// GUID that versions from 18 on show, and the pictures earlier versions show.
struct ItemDefinition {
  std::string_view dynamicCommand;
  std::string_view caption;
  std::string_view iconGuid;  // without the "guid://" prefix
  const CharPicture* smallPicture;
  const CharPicture* largePicture;  // null when the button has none
};

struct ToolbarVariant {
  std::string_view name;         // "standard" or "Q5", for messages
  std::string_view toolbarGuid;  // commandBar "guidRef", commandBarData "guid"
  std::string_view floatX;
  std::string_view floatY;
  std::string_view floatWidth;  // versions below 17
  bool writesBitmapPosition;    // "bmpCol" / "bmpRow", versions below 18
  const ItemGuidTable* itemGuids;
  std::array<ItemDefinition, 6> items;  // item k has GUID (*itemGuids)[k]
};

inline constexpr std::string_view kBitmapColumn = "7";
inline constexpr std::string_view kBitmapRow = "1022";

const ToolbarVariant& StandardVariant();
const ToolbarVariant& Q5Variant();

}  // namespace barsetup
