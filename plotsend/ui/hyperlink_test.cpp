#include "ui/hyperlink.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace plotsend {
namespace {

namespace ss = static_style;

constexpr Rgb kHighlight{0, 120, 215};
constexpr int kShow = 5;

// Answers as configured and records every call.
struct FakePort : HyperLinkPort {
  int ShellOpen(const std::string& target, int show) override {
    calls.push_back("shell " + target + " " + std::to_string(show));
    return shellCode;
  }
  long ReadClassesRootDefault(const std::string& subKey, std::string& value) override {
    calls.push_back("read " + subKey);
    const auto found = keys.find(subKey);
    if (found == keys.end()) return 2;
    value = found->second;
    return 0;
  }
  int RunCommandLine(const std::string& line, int show) override {
    calls.push_back("run " + line + " " + std::to_string(show));
    return runCode;
  }
  int shellCode = 42;
  int runCode = 33;
  std::map<std::string, std::string> keys{
      {".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "\"C:\\Browser\\b.exe\" -nohome \"%1\" -extra"}};
  std::vector<std::string> calls;
};

TEST(HyperLinkOpen, ShellSuccessIsReturnedWithoutTheRegistry) {
  FakePort port;
  port.shellCode = 42;
  EXPECT_EQ(OpenLink(port, "https://plotara.example/", kShow), 42);
  EXPECT_EQ(port.calls, (std::vector<std::string>{"shell https://plotara.example/ 5"}));
}

TEST(HyperLinkOpen, FailedShellFallsBackToTheHtmBrowser) {
  FakePort port;
  port.shellCode = 31;
  port.runCode = 33;
  EXPECT_EQ(OpenLink(port, "https://plotara.example/", kShow), 33);
  EXPECT_EQ(port.calls, (std::vector<std::string>{"shell https://plotara.example/ 5", "read .htm",
                                                  "read htmlfile\\shell\\open\\command",
                                                  "run \"C:\\Browser\\b.exe\" -nohome  https://plotara.example/ 5"}));
}

TEST(HyperLinkOpen, TheBrowsersFailureCodeIsReturned) {
  FakePort port;
  port.shellCode = 31;
  port.runCode = 2;
  EXPECT_EQ(OpenLink(port, "u", kShow), 2);
}

TEST(HyperLinkOpen, FailedRegistryReadsReturnTheShellsCode) {
  FakePort noClass;
  noClass.shellCode = 27;
  noClass.keys.erase(".htm");
  EXPECT_EQ(OpenLink(noClass, "u", kShow), 27);
  EXPECT_EQ(noClass.calls.size(), 2u);

  FakePort noCommand;
  noCommand.shellCode = 31;
  noCommand.keys.erase("htmlfile\\shell\\open\\command");
  EXPECT_EQ(OpenLink(noCommand, "u", kShow), 31);
  ASSERT_EQ(noCommand.calls.size(), 3u);
  EXPECT_EQ(noCommand.calls.back(), "read htmlfile\\shell\\open\\command");
}

TEST(HyperLinkCommandLine, QuotedPlaceholderIsReplacedAndTheRestDropped) {
  EXPECT_EQ(BrowserCommandLine("\"C:\\B\\b.exe\" -osint -url \"%1\" --x", "http://h/"),
            "\"C:\\B\\b.exe\" -osint -url  http://h/");
}

TEST(HyperLinkCommandLine, QuotedPlaceholderWinsOverAnEarlierBareOne) {
  EXPECT_EQ(BrowserCommandLine("b.exe %1x \"%1\"", "u"), "b.exe %1x  u");
}

TEST(HyperLinkCommandLine, BarePlaceholderOrNone) {
  EXPECT_EQ(BrowserCommandLine("b.exe -new %1 -later", "u"), "b.exe -new  u");
  EXPECT_EQ(BrowserCommandLine("C:\\B\\b.exe", "u"), "C:\\B\\b.exe u");
  EXPECT_EQ(BrowserCommandLine("", "u"), " u");
}

TEST(HyperLinkCommandLine, MultibyteTextBeforeThePlaceholderIsKept) {
  const std::string browser = "\"C:\\\xe6\xb5\x8f\xe8\xa7\x88\xe5\x99\xa8\\b.exe\" \"%1\"";
  EXPECT_EQ(BrowserCommandLine(browser, "u"), "\"C:\\\xe6\xb5\x8f\xe8\xa7\x88\xe5\x99\xa8\\b.exe\"  u");
}

TEST(HyperLinkErrors, ListedAndUnlistedCodes) {
  EXPECT_EQ(OpenErrorText(26), "Unable to open hyperlink:\n\nA sharing violation occurred. ");
  EXPECT_EQ(OpenErrorText(42), "Unable to open hyperlink:\n\nUnknown Error (42) occurred.");
  EXPECT_EQ(OpenErrorText(0), "Unable to open hyperlink:\n\nThe operating system is out\nof memory or resources.");
  EXPECT_EQ(OpenErrorText(32), "Unable to open hyperlink:\n\nThe specified dynamic-link library was not found.");
  EXPECT_EQ(OpenErrorText(1), "Unable to open hyperlink:\n\nUnknown Error (1) occurred.");
  EXPECT_EQ(OpenErrorText(-7), "Unable to open hyperlink:\n\nUnknown Error (-7) occurred.");
}

TEST(HyperLinkFit, HorizontalRulesKeepTheAlignedEdge) {
  const PixelRect window{10, 20, 210, 50};
  EXPECT_EQ(FitRectToText(window, 80, 13, ss::kLeft), (PixelRect{10, 20, 90, 33}));
  EXPECT_EQ(FitRectToText(window, 80, 13, ss::kRight), (PixelRect{130, 20, 210, 33}));
  EXPECT_EQ(FitRectToText(window, 80, 13, ss::kCenter), (PixelRect{70, 20, 150, 33}));
  // SS_SIMPLE carries bit 0 but is left-aligned.
  EXPECT_EQ(FitRectToText(window, 80, 13, 0xB), (PixelRect{10, 20, 90, 33}));
}

TEST(HyperLinkFit, CentredImageShrinksEquallyTopAndBottom) {
  const PixelRect window{10, 20, 210, 50};
  EXPECT_EQ(FitRectToText(window, 80, 14, ss::kCenterImage | ss::kNotify), (PixelRect{10, 28, 90, 42}));
  const PixelRect fitted = FitRectToText(window, 81, 14, ss::kCenterImage | ss::kCenter);
  // Equal shrinking keeps the centre; an odd difference leaves one pixel more.
  EXPECT_EQ(fitted.left + fitted.right, window.left + window.right);
  EXPECT_EQ(fitted.right - fitted.left, 82);
  EXPECT_EQ(fitted.top + fitted.bottom, window.top + window.bottom);
}

TEST(HyperLinkFit, TextWiderThanTheControlGrowsIt) {
  EXPECT_EQ(FitRectToText({100, 0, 140, 10}, 60, 10, ss::kRight), (PixelRect{80, 0, 140, 10}));
  EXPECT_EQ(FitRectToText({100, 0, 140, 10}, 60, 10, ss::kCenter), (PixelRect{90, 0, 150, 10}));
}

TEST(HyperLinkText, EmptyTextShowsTheUrlAndEmptyUrlOpensTheText) {
  CHyperLink withUrl(kHighlight);
  withUrl.SetUrl("https://plotara.example/");
  EXPECT_EQ(withUrl.AdoptWindowText(""), "https://plotara.example/");
  EXPECT_EQ(withUrl.AdoptWindowText("Visit us"), "Visit us");
  EXPECT_EQ(withUrl.Url(), "https://plotara.example/");

  CHyperLink fromText(kHighlight);
  EXPECT_EQ(fromText.AdoptWindowText("https://plotara.example/a"), "https://plotara.example/a");
  FakePort port;
  fromText.HandleClick(port, kShow);
  ASSERT_FALSE(port.calls.empty());
  EXPECT_EQ(port.calls.front(), "shell https://plotara.example/a 5");
}

TEST(HyperLinkState, ColoursFollowHoverAndVisitedOverAnEventSequence) {
  CHyperLink link(kHighlight);
  link.SetUrl("u");
  const Rgb plain{0, 0, 238};
  const Rgb visited{85, 26, 139};
  FakePort port;
  EXPECT_EQ(link.TextColor(), plain);

  EXPECT_EQ(link.OnMouseMove(true), HoverChange::Entered);
  EXPECT_EQ(link.TextColor(), kHighlight);
  EXPECT_EQ(link.OnMouseMove(true), HoverChange::None);

  port.shellCode = 42;
  EXPECT_EQ(link.HandleClick(port, kShow), 42);
  EXPECT_TRUE(link.IsVisited());
  EXPECT_EQ(link.TextColor(), kHighlight);  // hover wins over visited

  EXPECT_EQ(link.OnMouseMove(false), HoverChange::Left);
  EXPECT_EQ(link.TextColor(), visited);
  EXPECT_EQ(link.OnMouseMove(false), HoverChange::Entered);  // uncaptured moves come from inside

  EXPECT_EQ(link.OnCaptureLost(), HoverChange::Left);
  EXPECT_EQ(link.OnCaptureLost(), HoverChange::None);
  EXPECT_EQ(link.TextColor(), visited);

  port.shellCode = 2;
  port.keys.clear();
  EXPECT_EQ(link.HandleClick(port, kShow), 2);
  EXPECT_FALSE(link.IsVisited());
  EXPECT_EQ(link.TextColor(), plain);

  link.SetVisited(true);
  EXPECT_EQ(link.TextColor(), visited);
}

TEST(HyperLinkState, FallbackSuccessCountsAsVisited) {
  CHyperLink link(kHighlight);
  link.SetUrl("u");
  FakePort port;
  port.shellCode = 31;
  port.runCode = 33;
  link.HandleClick(port, kShow);
  EXPECT_TRUE(link.IsVisited());
  port.runCode = 11;
  EXPECT_EQ(link.HandleClick(port, kShow), 11);
  EXPECT_FALSE(link.IsVisited());
}

}  // namespace
}  // namespace plotsend
