#pragma once
// The logic of a static text that works as a hyperlink: its colours and
// hover/visited state, its url and text, the fitting of its rectangle to the
// text, and the opening of the url through the shell with the browser
// registered for ".htm" files as the fallback. The window side (font, cursor,
// tooltip, capture) lives in the platform's control.
#include <cstdint>
#include <string>

#include "ui/canvas.h"

namespace plotsend {

// What opening a link asks of the system. Texts are UTF-8.
class HyperLinkPort {
 public:
  virtual ~HyperLinkPort() = default;
  // Opens `target` with the shell's "open" verb; the shell's result code,
  // above 32 on success.
  virtual int ShellOpen(const std::string& target, int showCommand) = 0;
  // The default value of `subKey` under the classes root; 0 on success,
  // otherwise the system's error code (and `value` is left alone).
  virtual long ReadClassesRootDefault(const std::string& subKey, std::string& value) = 0;
  // Starts `commandLine`; a program-start code as the shell's (above 31 on
  // success, 0, 2, 3, 11 ... on failure).
  virtual int RunCommandLine(const std::string& commandLine, int showCommand) = 0;
};

// Style bits of a static text control that decide how it is fitted.
namespace static_style {
inline constexpr uint32_t kTypeMask = 0x1F;
inline constexpr uint32_t kLeft = 0x0;
inline constexpr uint32_t kCenter = 0x1;
inline constexpr uint32_t kRight = 0x2;
inline constexpr uint32_t kNotify = 0x100;
inline constexpr uint32_t kCenterImage = 0x200;
}  // namespace static_style

// An open result above 32 is a success.
inline bool OpenSucceeded(int code) { return code > 32; }

// Opens `url` with the shell; when that fails, with the command line of the
// ".htm" class's open verb. The shell's code when a registry read fails,
// otherwise the code of the last attempt.
int OpenLink(HyperLinkPort& port, const std::string& url, int showCommand);

// The browser command line `command` with the url in place of its
// placeholder "%1" (the first in double quotes, else the first bare one;
// the rest of the line is dropped), or after the whole line when it has none.
std::string BrowserCommandLine(const std::string& command, const std::string& url);

// The message for a failed open: "Unable to open hyperlink:\n\n" and the
// text for the shell or program-start code.
std::string OpenErrorText(int code);

// The control's rectangle (in its parent's coordinates) fitted to a text of
// textWidth x textHeight, as its style aligns the text.
PixelRect FitRectToText(const PixelRect& window, int textWidth, int textHeight, uint32_t style);

// What the window must do after a mouse or capture event.
enum class HoverChange { None, Entered, Left };

class CHyperLink {
 public:
  // hoverColor: the system's highlight colour, read by the caller.
  explicit CHyperLink(Rgb hoverColor) : hoverColor(hoverColor) {}

  Rgb linkColor{0, 0, 238};
  Rgb visitedColor{85, 26, 139};
  Rgb hoverColor;
  bool underline = true;
  bool fitToText = true;

  // Hovering wins over visited, visited over the plain link colour.
  Rgb TextColor() const;

  // At attach: the url defaults to the window text; returns the text the
  // window should show (the url when its own text is empty).
  std::string AdoptWindowText(const std::string& windowText);
  const std::string& Url() const { return url_; }
  void SetUrl(const std::string& url) { url_ = url; }

  // A mouse move, inside the client rectangle or not. Entered: capture the
  // mouse and redraw; Left: release it and redraw.
  HoverChange OnMouseMove(bool inside);
  // The capture went elsewhere: no more moves will say when the mouse leaves.
  HoverChange OnCaptureLost();
  bool IsHovering() const { return hovering_; }

  void SetVisited(bool visited) { visited_ = visited; }
  bool IsVisited() const { return visited_; }

  // Opens the url; visited becomes whether it worked. The open code, for the
  // error message when it failed.
  int HandleClick(HyperLinkPort& port, int showCommand);

 private:
  std::string url_;
  bool hovering_ = false;
  bool visited_ = false;
};

}  // namespace plotsend
