#include "ui/hyperlink.h"

namespace plotsend {

Rgb CHyperLink::TextColor() const {
  if (hovering_) return hoverColor;
  if (visited_) return visitedColor;
  return linkColor;
}

std::string CHyperLink::AdoptWindowText(const std::string& windowText) {
  if (url_.empty()) url_ = windowText;
  return windowText.empty() ? url_ : windowText;
}

HoverChange CHyperLink::OnMouseMove(bool inside) {
  if (hovering_) {
    if (inside) return HoverChange::None;
    hovering_ = false;
    return HoverChange::Left;
  }
  // Without the capture, moves only arrive from inside the control.
  hovering_ = true;
  return HoverChange::Entered;
}

HoverChange CHyperLink::OnCaptureLost() {
  if (!hovering_) return HoverChange::None;
  hovering_ = false;
  return HoverChange::Left;
}

int CHyperLink::HandleClick(HyperLinkPort& port, int showCommand) {
  const int code = OpenLink(port, url_, showCommand);
  visited_ = OpenSucceeded(code);
  return code;
}

PixelRect FitRectToText(const PixelRect& window, int textWidth, int textHeight, uint32_t style) {
  PixelRect r = window;
  if ((style & static_style::kCenterImage) != 0) {
    const int shrink = (r.bottom - r.top - textHeight) / 2;
    r.top += shrink;
    r.bottom -= shrink;
  } else {
    r.bottom = r.top + textHeight;
  }
  // The alignment is a value of the type field, not a bit: SS_SIMPLE (0xB)
  // shares bit 0 with SS_CENTER but is left-aligned.
  switch (style & static_style::kTypeMask) {
    case static_style::kCenter: {
      const int shrink = (r.right - r.left - textWidth) / 2;
      r.left += shrink;
      r.right -= shrink;
      break;
    }
    case static_style::kRight: r.left = r.right - textWidth; break;
    default: r.right = r.left + textWidth; break;
  }
  return r;
}

}  // namespace plotsend
