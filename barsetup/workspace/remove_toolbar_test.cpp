// Toolbar removal: what an addition put in goes out again, and nothing else.
#include <gtest/gtest.h>

#include <string>

#include "workspace/toolbar_edit.h"
#include "workspace/workspace_test_util.h"

namespace barsetup {
namespace {

using test::SmallUiConfig;

std::string Add(const std::string& text, const ToolbarVariant& v, int version) {
  CXmlDocument doc;
  doc.ParseText(text);
  ToolbarChanges changes;
  EXPECT_TRUE(AddToolbar(doc, v, version, "KV", changes));
  return doc.Text();
}

std::string Remove(const std::string& text, const ToolbarVariant& v, ToolbarChanges* out = nullptr) {
  CXmlDocument doc;
  doc.ParseText(text);
  ToolbarChanges changes;
  EXPECT_TRUE(RemoveToolbar(doc, v, changes));
  if (out != nullptr) *out = changes;
  return doc.Text();
}

std::string Item(std::string_view guid, std::string_view extra = "") {
  return "<item guidRef=\"" + std::string(guid) + "\"" + std::string(extra) + "/>";
}

std::string Buttons(size_t from = 0, size_t to = 6) {
  std::string t;
  for (size_t k = from; k < to; ++k) t += Item(ItemGuidsStandard[k]);
  return t;
}

const std::string kT = Item(kTrailingItemGuid);

// A document whose host toolbar body holds `host` followed by h1.
std::string HostDocument(const std::string& host) {
  return "<uiConfig><commandBars><commandBarData guid=\"7c905e2a-cb64-4ba1-aff0-c306f392680c\"><toolbar>" + host +
         Item("h1") + "</toolbar></commandBarData></commandBars></uiConfig>";
}

TEST(RemoveToolbar, RemovalAfterAdditionGivesBackTheOriginal) {
  for (int version : {12, 16, 17, 18, 22}) {
    for (bool q5 : {false, true}) {
      SCOPED_TRACE(testing::Message() << "version " << version << (q5 ? " Q5" : " standard"));
      const ToolbarVariant& v = q5 ? Q5Variant() : StandardVariant();
      const std::string original = SmallUiConfig(version >= 17 ? "toolbar" : "container");
      ToolbarChanges changes;
      EXPECT_EQ(Remove(Add(original, v, version), v, &changes), original);
      EXPECT_EQ(changes.commandBarsRemoved, 1);
      EXPECT_EQ(changes.hostItemsRemoved, 7);
      EXPECT_EQ(changes.definitionsRemoved, 1);
      EXPECT_EQ(changes.itemDefinitionsRemoved, 6);
      EXPECT_EQ(changes.missing, 0u);
    }
  }
}

TEST(RemoveToolbar, LaneTheAdditionCreatedStaysEmpty) {
  const std::string original = "<uiConfig>\r\n<frame>\r\n<dockBar position=\"float\"/>\r\n</frame>\r\n</uiConfig>\r\n";
  EXPECT_EQ(Remove(Add(original, StandardVariant(), 17), StandardVariant()),
            "<uiConfig>\r\n<frame>\r\n<dockBar position=\"float\">\r\n<cmdBarLane>\r\n</cmdBarLane>\r\n"
            "</dockBar>\r\n</frame>\r\n</uiConfig>\r\n");
}

TEST(RemoveToolbar, RemovingOneVariantLeavesTheOther) {
  for (int version : {16, 17, 18}) {
    const std::string original = SmallUiConfig(version >= 17 ? "toolbar" : "container");
    const std::string both = Add(Add(original, StandardVariant(), version), Q5Variant(), version);
    EXPECT_EQ(Remove(both, StandardVariant()), Add(original, Q5Variant(), version)) << version;
    EXPECT_EQ(Remove(both, Q5Variant()), Add(original, StandardVariant(), version)) << version;
  }
}

TEST(RemoveToolbar, OnlyTheFirstLaneOfFloatingDockBarsIsLookedAt) {
  const std::string bar = "<commandBar guidRef=\"8aaf09fd-3c88-4981-bc92-5e5f9996b4af\"/>";
  const std::string doc =
      "<uiConfig><frame>"
      "<dockBar position=\"top\"><cmdBarLane>" +
      bar +
      "</cmdBarLane></dockBar>"
      "<dockBar position=\"float\"><cmdBarLane/><cmdBarLane>" +
      bar +
      "</cmdBarLane></dockBar>"
      "<dockBar position=\"float\"><cmdBarLane><commandBar guidRef=\"other\"/>" +
      bar + bar +
      "</cmdBarLane></dockBar>"
      "</frame></uiConfig>";
  ToolbarChanges changes;
  const std::string text = Remove(doc, StandardVariant(), &changes);
  EXPECT_EQ(changes.commandBarsRemoved, 2);
  EXPECT_EQ(text,
            "<uiConfig><frame>"
            "<dockBar position=\"top\"><cmdBarLane>" +
                bar +
                "</cmdBarLane></dockBar>"
                "<dockBar position=\"float\"><cmdBarLane/><cmdBarLane>" +
                bar +
                "</cmdBarLane></dockBar>"
                "<dockBar position=\"float\"><cmdBarLane><commandBar guidRef=\"other\"/></cmdBarLane></dockBar>"
                "</frame></uiConfig>");
}

TEST(RemoveToolbar, TrailingItemGoesOnlyRightAfterTheSixthButton) {
  const std::string userT = Item(kTrailingItemGuid, " mine=\"1\"");
  struct Case {
    std::string host, left;
    int removed;
  } cases[] = {
      {Buttons() + kT, "", 7},                                         // as added
      {kT, kT, 0},                                                     // one that stands alone
      {userT + Buttons() + kT, userT, 7},                              // the user's, before the buttons
      {Buttons(0, 5) + Item("u") + Buttons(5, 6) + kT, Item("u"), 7},  // buttons around the user's item
      {Buttons() + Item("u") + kT, Item("u") + kT, 6},                 // moved away from the buttons
      {Buttons(0, 5) + kT + Buttons(5, 6), kT, 6},                     // ahead of the sixth button
      {Buttons(0, 5) + kT, kT, 5},                                     // only five buttons
  };
  for (const Case& c : cases) {
    ToolbarChanges changes;
    EXPECT_EQ(Remove(HostDocument(c.host), StandardVariant(), &changes), HostDocument(c.left)) << c.host;
    EXPECT_EQ(changes.hostItemsRemoved, c.removed) << c.host;
  }
}

TEST(RemoveToolbar, DocumentOfTwoUncheckedAdditionsLosesBothButOnlyOneTrailingItem) {
  std::string items;
  for (int copy = 0; copy < 2; ++copy) {
    for (std::string_view guid : ItemGuidsStandard) items += "<itemData guid=\"" + std::string(guid) + "\"/>";
  }
  const std::string bar = "<commandBar guidRef=\"8aaf09fd-3c88-4981-bc92-5e5f9996b4af\"/>";
  const std::string definition = "<commandBarData guid=\"8aaf09fd-3c88-4981-bc92-5e5f9996b4af\"><toolbar>" + Buttons() +
                                 "</toolbar></commandBarData>";
  auto document = [&](const std::string& lane, const std::string& host, const std::string& defs,
                      const std::string& itemData) {
    return "<uiConfig><frame><dockBar position=\"float\"><cmdBarLane>" + lane +
           "</cmdBarLane></dockBar></frame><commandBars><commandBarData guid=\"7c905e2a-cb64-4ba1-aff0-"
           "c306f392680c\"><toolbar>" +
           host + Item("h1") + "</toolbar></commandBarData>" + defs +
           "<commandBarData guid=\"z\"/></commandBars><items><itemData guid=\"mine\"/>" + itemData +
           "</items></uiConfig>";
  };
  ToolbarChanges changes;
  const std::string text = Remove(document(bar + bar, Buttons() + kT + Buttons() + kT, definition + definition, items),
                                  StandardVariant(), &changes);
  EXPECT_EQ(text, document("", kT, "", ""));
  EXPECT_EQ(changes.commandBarsRemoved, 2);
  EXPECT_EQ(changes.hostItemsRemoved, 13);
  EXPECT_EQ(changes.definitionsRemoved, 2);
  EXPECT_EQ(changes.itemDefinitionsRemoved, 12);
}

TEST(RemoveToolbar, ElementsAreRecognisedByExactGuidAlone) {
  const std::string doc =
      "<uiConfig><items>"
      "<itemData guid=\"63d5897e-4f43-430a-b339-65788eed2ec7\" userCaption=\"renamed\"><x/></itemData>"
      "<itemData guid=\"63D5897E-4F43-430A-B339-65788EED2EC7\"/>"
      "<itemData guid=\" 63d5897e-4f43-430a-b339-65788eed2ec7\"/>"
      "<itemData guid=\"26a05b13-bde8-4f22-ae57-ff4bc19cda27\"/>"
      "</items></uiConfig>";
  ToolbarChanges changes;
  EXPECT_EQ(Remove(doc, StandardVariant(), &changes),
            "<uiConfig><items>"
            "<itemData guid=\"63D5897E-4F43-430A-B339-65788EED2EC7\"/>"
            "<itemData guid=\" 63d5897e-4f43-430a-b339-65788eed2ec7\"/>"
            "<itemData guid=\"26a05b13-bde8-4f22-ae57-ff4bc19cda27\"/>"
            "</items></uiConfig>");
  EXPECT_EQ(changes.itemDefinitionsRemoved, 1);
  EXPECT_EQ(changes.missing, kNoFrame | kNoCommandBars);
}

TEST(RemoveToolbar, SearchesOnlyGoForward) {
  // commandBars before frame is not reached: its definition stays.
  const std::string definition = "<commandBarData guid=\"8aaf09fd-3c88-4981-bc92-5e5f9996b4af\"/>";
  const std::string doc = "<uiConfig><commandBars>" + definition +
                          "</commandBars><frame/><items><itemData guid=\"f7e6319e-98e3-4628-a8dc-fa5e38e02d13\"/>"
                          "</items></uiConfig>";
  ToolbarChanges changes;
  EXPECT_EQ(Remove(doc, StandardVariant(), &changes),
            "<uiConfig><commandBars>" + definition + "</commandBars><frame/><items></items></uiConfig>");
  EXPECT_EQ(changes.missing, kNoCommandBars);
}

TEST(RemoveToolbar, NothingOfTheVariantChangesNothing) {
  const std::string original = SmallUiConfig("toolbar");
  ToolbarChanges changes;
  EXPECT_EQ(Remove(original, StandardVariant(), &changes), original);
  EXPECT_FALSE(changes.Changed());
  const std::string q5 = Add(original, Q5Variant(), 17);
  EXPECT_EQ(Remove(q5, StandardVariant(), &changes), q5);
  EXPECT_FALSE(changes.Changed());
}

}  // namespace
}  // namespace barsetup
