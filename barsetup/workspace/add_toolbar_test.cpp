// Toolbar addition: what is added where, by version and variant, and how
// the walk treats unusual documents.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "workspace/item_bitmap.h"
#include "workspace/toolbar_edit.h"
#include "workspace/workspace_test_util.h"

namespace barsetup {
namespace {

using test::InsertBefore;
using test::SmallUiConfig;
using test::TakePictures;

std::string Add(const std::string& text, const ToolbarVariant& v, int version, std::string_view name = "KV",
                ToolbarChanges* out = nullptr) {
  CXmlDocument doc;
  doc.ParseText(text);
  ToolbarChanges changes;
  EXPECT_TRUE(AddToolbar(doc, v, version, name, changes));
  if (out != nullptr) *out = changes;
  return doc.Text();
}

const char kStandardButtons[] =
    "<item guidRef=\"63d5897e-4f43-430a-b339-65788eed2ec7\"/>\r\n"
    "<item guidRef=\"391d1eab-7fad-4ec0-92e0-dd3e8c972dd9\"/>\r\n"
    "<item guidRef=\"6904e0c4-92a3-4554-b983-35235c63a197\"/>\r\n"
    "<item guidRef=\"a14cda0f-4e3e-4ff3-8f54-eff9b1a5795a\"/>\r\n"
    "<item guidRef=\"4b14bc4c-30f8-4a6f-b127-28663fba4a0d\"/>\r\n"
    "<item guidRef=\"f7e6319e-98e3-4628-a8dc-fa5e38e02d13\"/>\r\n";
const char kQ5Buttons[] =
    "<item guidRef=\"26a05b13-bde8-4f22-ae57-ff4bc19cda27\"/>\r\n"
    "<item guidRef=\"3c571918-cda5-4152-be0e-6787aecf2e42\"/>\r\n"
    "<item guidRef=\"b4c3ca37-8a54-4f5b-83cf-e6ee5c550db5\"/>\r\n"
    "<item guidRef=\"319db18f-1cde-40ef-b7d5-84d04eae0322\"/>\r\n"
    "<item guidRef=\"43bfecbf-5d2b-4d11-a16c-49800ee4ef2e\"/>\r\n"
    "<item guidRef=\"7a9cd445-617e-4c48-96ca-cefbfbe39300\"/>\r\n";
const char kTrailing[] = "<item guidRef=\"266435b4-6e53-460f-9fa7-f45be187d400\"/>\r\n";
const char kPictureAttributes[] = " xmlns:dt=\"urn:schemas-microsoft-com:datatypes\" dt:dt=\"bin.base64\">@</";

std::string Small() { return std::string("<userSmallBitmap") + kPictureAttributes + "userSmallBitmap>\r\n"; }
std::string Large() { return std::string("<userLargeBitmap") + kPictureAttributes + "userLargeBitmap>\r\n"; }

struct ItemText {
  const char* guid;
  const char* command;
  const char* caption;
  const char* icon;
  bool large;
};

const ItemText kStandardItems[] = {
    {"63d5897e-4f43-430a-b339-65788eed2ec7", "Kavren.AddHandMark.AddHandMark", "AddHandMark",
     "c1226ae4-cb43-4ced-b6da-e422c9deb4b8", true},
    {"391d1eab-7fad-4ec0-92e0-dd3e8c972dd9", "Kavren.AddAutoMark.AddAutoMark", "AddAutoMark",
     "abdb2475-4dab-4f5c-a0f3-aa2b2185f49e", true},
    {"6904e0c4-92a3-4554-b983-35235c63a197", "Kavren.AddCircleMark.AddCircleMark", "AddCircleMark",
     "c1226ae4-cb43-4ced-b6da-e422c9deb4b9", false},
    {"a14cda0f-4e3e-4ff3-8f54-eff9b1a5795a", "Kavren.DeleteMark.DeleteMark", "Delete Mark",
     "f590adcf-1ee8-4a56-bca9-b110aa92caa4", false},
    {"4b14bc4c-30f8-4a6f-b127-28663fba4a0d", "Kavren.Output.Output", "Output", "4d8c3ba6-21b9-4a77-83c9-6140dea2a554",
     true},
    {"f7e6319e-98e3-4628-a8dc-fa5e38e02d13", "Kavren.OutputOutline.OutputOutline", "OutputOutline",
     "8fb721e4-554e-4a18-9a42-ad7bbcc5f2a6", true},
};
const ItemText kQ5Items[] = {
    {"26a05b13-bde8-4f22-ae57-ff4bc19cda27", "Q5.AddBoundaryLine.AddBoundaryLine", "AddBoundaryLine",
     "abdb2475-4dab-4f5c-a0f3-aa2b2185f493", false},
    {"3c571918-cda5-4152-be0e-6787aecf2e42", "Q5.AddFourLMark2.AddFourLMark2", "AddFourLMark2",
     "c1226ae4-cb43-4ced-b6da-e422c9deb4b3", false},
    {"b4c3ca37-8a54-4f5b-83cf-e6ee5c550db5", "Q5.AddCircleMarkQ5.AddCircleMarkQ5", "AddCircleMarkQ5",
     "c1226ae4-cb43-4ced-b6da-e422c9deb4b4", false},
    {"319db18f-1cde-40ef-b7d5-84d04eae0322", "Q5.DeleteMarkQ5.DeleteMarkQ5", "Delete Mark",
     "f590adcf-1ee8-4a56-bca9-b110aa92caa4", false},
    {"43bfecbf-5d2b-4d11-a16c-49800ee4ef2e", "Q5.OutputQ5.OutputQ5", "Output", "4d8c3ba6-21b9-4a77-83c9-6140dea2a554",
     false},
    {"7a9cd445-617e-4c48-96ca-cefbfbe39300", "Q5.OutputOutline.OutputOutline", "OutputOutline",
     "8fb721e4-554e-4a18-9a42-ad7bbcc5f2a6", false},
};

std::string ItemDefinitions(const ItemText (&items)[6], bool q5, int version) {
  std::string t;
  for (const ItemText& i : items) {
    t += std::string("<itemData guid=\"") + i.guid + "\" dynamicCommand=\"" + i.command +
         "\" dynamicCategory=\"2cc24a3e-fe24-4708-9a74-9c75406eebcd\"";
    if (version >= 18) {
      t += std::string(" icon=\"guid://") + i.icon + "\"/>\r\n";
      continue;
    }
    if (q5) t += " bmpCol=\"7\" bmpRow=\"1022\"";
    t += std::string(" userCaption=\"") + i.caption + "\" userToolTip=\"" + i.caption + "\">\r\n" + Small();
    if (i.large) t += Large();
    t += "</itemData>\r\n";
  }
  return t;
}

// The whole expected text of one addition to SmallUiConfig, pictures as "@".
std::string Expected(bool q5, int version, const std::string& name = "KV") {
  const char* body = version >= 17 ? "toolbar" : "container";
  const std::string toolbarGuid = q5 ? "585ad85e-9f89-475e-b7d5-cac7ac977c70" : "8aaf09fd-3c88-4981-bc92-5e5f9996b4af";
  const std::string buttons = q5 ? kQ5Buttons : kStandardButtons;
  std::string t = SmallUiConfig(body);
  t = InsertBefore(t, "guidRef=\"user-float\"", "</cmdBarLane>",
                   "<commandBar guidRef=\"" + toolbarGuid +
                       (q5 ? "\" floatX=\"118\" floatY=\"256\"" : "\" floatX=\"190\" floatY=\"328\"") +
                       " visible=\"true\"/>\r\n");
  t = InsertBefore(t, "7c905e2a", "<item guidRef=\"h1\"/>", buttons + kTrailing);
  std::string definition = "<commandBarData guid=\"" + toolbarGuid + "\" type=\"toolbar\" nonLocalizableName=\"" +
                           name + "\" userCaption=\"" + name + "\" userCreated=\"true\">\r\n";
  definition += version >= 17 ? std::string("<toolbar>\r\n")
                              : std::string("<container floatWidth=\"") + (q5 ? "32767" : "30") + "\">\r\n";
  definition += buttons + "</" + body + ">\r\n</commandBarData>\r\n";
  t = InsertBefore(t, "7c905e2a", "<commandBarData guid=\"menu-bar\"", definition);
  return InsertBefore(t, "user-item", "</items>", ItemDefinitions(q5 ? kQ5Items : kStandardItems, q5, version));
}

// The pictures an addition writes, in document order.
std::vector<const CharPicture*> ExpectedPictures(const ToolbarVariant& v) {
  std::vector<const CharPicture*> pictures;
  for (const ItemDefinition& d : v.items) {
    pictures.push_back(d.smallPicture);
    if (d.largePicture != nullptr) pictures.push_back(d.largePicture);
  }
  return pictures;
}

// A picture element's content decodes to a record of the expected picture.
void ExpectPicture(const std::string& content, const CharPicture& p) {
  std::string record;
  ASSERT_TRUE(test::DecodeBase64(test::JoinPictureLines(content), &record));
  const size_t side = p.rows.size();
  ASSERT_EQ(record.size(), side == 16 ? 1378u : 1698u);
  EXPECT_EQ(record.substr(6, 16), "WCmnUI_UIItemBmp");
  EXPECT_EQ(static_cast<uint8_t>(record[46]), side);  // width
  for (size_t y = 0; y < side; ++y) {
    for (size_t x = 0; x < side; ++x) {
      ASSERT_EQ(record[1106 + (side - 1 - y) * side + x], PaletteIndex(p, p.rows[y][x]));
    }
  }
}

TEST(AddToolbar, EveryVersionRangeAndVariantAddsExactlyThis) {
  for (int version : {12, 16, 17, 18, 22}) {
    for (bool q5 : {false, true}) {
      SCOPED_TRACE(testing::Message() << "version " << version << (q5 ? " Q5" : " standard"));
      const ToolbarVariant& v = q5 ? Q5Variant() : StandardVariant();
      ToolbarChanges changes;
      std::string text = Add(SmallUiConfig(version >= 17 ? "toolbar" : "container"), v, version, "KV", &changes);
      test::ExpectWellFormed(text);
      const std::vector<std::string> pictures = TakePictures(text);
      EXPECT_EQ(text, Expected(q5, version));
      if (version >= 18) {
        EXPECT_TRUE(pictures.empty());
      } else {
        const std::vector<const CharPicture*> expected = ExpectedPictures(v);
        ASSERT_EQ(pictures.size(), expected.size());
        for (size_t i = 0; i < pictures.size(); ++i) ExpectPicture(pictures[i], *expected[i]);
      }
      EXPECT_EQ(changes.floatingDockBar, 2);
      EXPECT_EQ(changes.commandBarsAdded, 1);
      EXPECT_EQ(changes.lanesAdded, 0);
      EXPECT_EQ(changes.hostItemsAdded, 7);
      EXPECT_EQ(changes.definitionsAdded, 1);
      EXPECT_EQ(changes.itemDefinitionsAdded, 6);
      EXPECT_EQ(changes.missing | changes.present, 0u);
    }
  }
}

TEST(AddToolbar, ToolbarNameIsWrittenEscapedAsBothNames) {
  std::string text = Add(SmallUiConfig("toolbar"), StandardVariant(), 17, "Cut & \"Go\" <\xE5\x88\x80>");
  TakePictures(text);
  EXPECT_EQ(text, Expected(false, 17, "Cut &amp; &quot;Go&quot; &lt;\xE5\x88\x80&gt;"));
  CXmlDocument doc(text);
  doc.FindElement("uiConfig");
  doc.EnterElement();
  doc.FindElement("commandBars");
  doc.EnterElement();
  while (doc.FindElement("commandBarData") && doc.GetAttribute("guid") != StandardVariant().toolbarGuid) {
  }
  EXPECT_EQ(doc.GetAttribute("userCaption"), "Cut & \"Go\" <\xE5\x88\x80>");
}

TEST(AddToolbar, OnlyTheFirstFiveDockBarsAreLookedAt) {
  std::string dockBars;
  for (int i = 0; i < 5; ++i) dockBars += "<dockBar position=\"left\"/>\r\n";
  const std::string doc = "<uiConfig>\r\n<frame>\r\n" + dockBars +
                          "<dockBar position=\"float\"/>\r\n</frame>\r\n<commandBars>\r\n</commandBars>\r\n"
                          "<items>\r\n</items>\r\n</uiConfig>\r\n";
  ToolbarChanges changes;
  const std::string text = Add(doc, StandardVariant(), 18, "KV", &changes);
  EXPECT_EQ(changes.missing, kNoFloatingDockBar | kNoHostToolbar);
  EXPECT_EQ(changes.commandBarsAdded, 0);
  EXPECT_EQ(changes.definitionsAdded, 1);
  EXPECT_EQ(changes.itemDefinitionsAdded, 6);
  EXPECT_EQ(text.substr(0, text.find("<commandBars>")), doc.substr(0, doc.find("<commandBars>")));
}

TEST(AddToolbar, FloatingDockBarWithoutLaneGetsOneHoldingOnlyTheToolbar) {
  const std::string doc =
      "<uiConfig>\r\n<frame>\r\n<dockBar position=\"top\"><cmdBarLane/></dockBar>\r\n"
      "<dockBar position=\"float\"/>\r\n</frame>\r\n</uiConfig>\r\n";
  ToolbarChanges changes;
  const std::string text = Add(doc, Q5Variant(), 20, "KV", &changes);
  EXPECT_EQ(text,
            "<uiConfig>\r\n<frame>\r\n<dockBar position=\"top\"><cmdBarLane/></dockBar>\r\n"
            "<dockBar position=\"float\">\r\n<cmdBarLane>\r\n<commandBar guidRef=\"585ad85e-9f89-475e-b7d5-"
            "cac7ac977c70\" floatX=\"118\" floatY=\"256\" visible=\"true\"/>\r\n</cmdBarLane>\r\n</dockBar>\r\n"
            "</frame>\r\n</uiConfig>\r\n");
  EXPECT_EQ(changes.lanesAdded, 1);
  EXPECT_EQ(changes.missing, kNoCommandBars | kNoItems);
}

TEST(AddToolbar, SearchesOnlyGoForward) {
  // commandBars before frame, items before commandBars: neither is reached.
  const std::string doc =
      "<uiConfig>\r\n<items/>\r\n<commandBars/>\r\n<frame><dockBar position=\"float\"><cmdBarLane/></dockBar></frame>\r\n"
      "</uiConfig>\r\n";
  ToolbarChanges changes;
  const std::string text = Add(doc, StandardVariant(), 17, "KV", &changes);
  EXPECT_EQ(changes.missing, kNoCommandBars | kNoItems);
  EXPECT_EQ(changes.commandBarsAdded, 1);
  EXPECT_EQ(text.substr(0, text.find("<frame>")), doc.substr(0, doc.find("<frame>")));

  const std::string itemsFirst = "<uiConfig>\r\n<items/>\r\n<commandBars>\r\n</commandBars>\r\n</uiConfig>\r\n";
  Add(itemsFirst, StandardVariant(), 17, "KV", &changes);
  EXPECT_EQ(changes.missing, kNoFrame | kNoHostToolbar | kNoItems);
  EXPECT_EQ(changes.definitionsAdded, 1);
}

TEST(AddToolbar, HostWithoutBodyGetsNoButtonsButIsStillFollowedByTheDefinition) {
  const std::string doc =
      "<uiConfig>\r\n<commandBars>\r\n<commandBarData guid=\"7c905e2a-cb64-4ba1-aff0-c306f392680c\"><menu/>"
      "</commandBarData>\r\n<commandBarData guid=\"after\"/>\r\n</commandBars>\r\n</uiConfig>\r\n";
  ToolbarChanges changes;
  const std::string text = Add(doc, StandardVariant(), 18, "KV", &changes);
  EXPECT_EQ(changes.missing, kNoFrame | kNoHostBody | kNoItems);
  EXPECT_EQ(changes.hostItemsAdded, 0);
  const size_t host = text.find("</commandBarData>");
  EXPECT_EQ(text.find("<commandBarData guid=\"8aaf09fd"), host + 19);
  EXPECT_LT(text.find("8aaf09fd"), text.find("guid=\"after\""));
  EXPECT_EQ(text.find("<item"), text.find("<toolbar>") + 11);  // only the toolbar's own items
}

TEST(AddToolbar, DefinitionWithoutHostFollowsTheLastCommandBarData) {
  const std::string doc =
      "<uiConfig>\r\n<commandBars>\r\n<commandBarData guid=\"a\"/>\r\n<other/>\r\n<commandBarData guid=\"b\"/>\r\n"
      "<other/>\r\n</commandBars>\r\n</uiConfig>\r\n";
  const std::string text = Add(doc, StandardVariant(), 18);
  const std::string last = "<commandBarData guid=\"b\"/>\r\n";
  EXPECT_EQ(text.find("<commandBarData guid=\"8aaf"), text.find(last) + last.size());

  const std::string none = "<uiConfig>\r\n<commandBars>\r\n<other/>\r\n</commandBars>\r\n</uiConfig>\r\n";
  const std::string added = Add(none, StandardVariant(), 18);
  EXPECT_EQ(added.find("<commandBarData"), added.find("<other/>\r\n") + 10);
}

TEST(AddToolbar, DocumentsWithoutUiConfigAreLeftAlone) {
  for (const char* doc : {"", "<workspace><frame/></workspace>", "not markup at all", "<a><uiConfig/></a>"}) {
    ToolbarChanges changes;
    EXPECT_EQ(Add(doc, StandardVariant(), 17, "KV", &changes), doc);
    EXPECT_EQ(changes.missing, kNoUiConfig);
    EXPECT_FALSE(changes.Changed());
  }
}

TEST(AddToolbar, SecondAdditionAddsNothing) {
  for (int version : {16, 17, 18}) {
    const std::string once = Add(SmallUiConfig(version >= 17 ? "toolbar" : "container"), StandardVariant(), version);
    ToolbarChanges changes;
    EXPECT_EQ(Add(once, StandardVariant(), version, "Other", &changes), once);
    EXPECT_FALSE(changes.Changed());
    EXPECT_EQ(changes.present, kPlacementPresent | kHostButtonsPresent | kDefinitionPresent);
    EXPECT_EQ(changes.itemDefinitionsPresent, 6);
  }
}

TEST(AddToolbar, PiecesAlreadyThereAreKeptAndTheRestIsAdded) {
  // The user docked the toolbar and took two buttons' definitions out;
  // the buttons in the host toolbar are still there.
  const std::string doc =
      "<uiConfig>\r\n<frame>\r\n<dockBar position=\"top\"><cmdBarLane/><cmdBarLane><commandBar "
      "guidRef=\"8aaf09fd-3c88-4981-bc92-5e5f9996b4af\"/></cmdBarLane></dockBar>\r\n<dockBar position=\"float\"/>\r\n"
      "</frame>\r\n<commandBars>\r\n<commandBarData guid=\"7c905e2a-cb64-4ba1-aff0-c306f392680c\"><toolbar>"
      "<item guidRef=\"x\"/><item guidRef=\"a14cda0f-4e3e-4ff3-8f54-eff9b1a5795a\"/></toolbar></commandBarData>\r\n"
      "</commandBars>\r\n<items>\r\n<itemData guid=\"63d5897e-4f43-430a-b339-65788eed2ec7\" userCaption=\"mine\"/>\r\n"
      "<itemData guid=\"f7e6319e-98e3-4628-a8dc-fa5e38e02d13\"/>\r\n</items>\r\n</uiConfig>\r\n";
  ToolbarChanges changes;
  const std::string text = Add(doc, StandardVariant(), 18, "KV", &changes);
  EXPECT_EQ(changes.present, kPlacementPresent | kHostButtonsPresent);
  EXPECT_EQ(changes.commandBarsAdded + changes.hostItemsAdded, 0);
  EXPECT_EQ(changes.definitionsAdded, 1);
  EXPECT_EQ(changes.itemDefinitionsAdded, 4);
  EXPECT_EQ(changes.itemDefinitionsPresent, 2);
  EXPECT_EQ(text.substr(0, text.find("</commandBarData>")), doc.substr(0, doc.find("</commandBarData>")));
  EXPECT_NE(text.find("userCaption=\"mine\""), std::string::npos);
  EXPECT_EQ(text.find("guid=\"63d5897e"), text.rfind("guid=\"63d5897e"));
}

TEST(AddToolbar, TheOtherVariantIsAddedBesideTheFirst) {
  const std::string standard = Add(SmallUiConfig("toolbar"), StandardVariant(), 17);
  ToolbarChanges changes;
  std::string both = Add(standard, Q5Variant(), 17, "Q", &changes);
  EXPECT_EQ(changes.hostItemsAdded, 7);
  EXPECT_EQ(changes.itemDefinitionsAdded, 6);
  EXPECT_EQ(changes.present, 0u);
  // The Q5 buttons come first in the host toolbar, each set with its trailing item.
  const std::string host =
      std::string(kQ5Buttons) + kTrailing + kStandardButtons + kTrailing + "<item guidRef=\"h1\"/>";
  EXPECT_NE(both.find(host), std::string::npos);
}

}  // namespace
}  // namespace barsetup
