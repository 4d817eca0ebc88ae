#include "payload/button_icons.h"

#include "installer/icon_files.h"
#include "workspace/toolbar_variant.h"

namespace barsetup {
namespace {

const ItemDefinition* FindButton(std::string_view fileName) {
  for (const ToolbarVariant* variant : {&StandardVariant(), &Q5Variant()}) {
    for (const ItemDefinition& item : variant->items) {
      if (std::string(item.iconGuid) + ".ico" == fileName) return &item;
    }
  }
  return nullptr;
}

icons::Image Scaled(const icons::Image& source, int side) {
  icons::Image image{side, side, {}};
  image.pixels.reserve(static_cast<size_t>(side) * side);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) image.pixels.push_back(source.At(x * source.width / side, y * source.height / side));
  }
  return image;
}

}  // namespace

bool ButtonIcons(std::vector<ButtonIcon>& out, std::string& error) {
  out.clear();
  for (std::string_view name : IconFiles) {
    const ItemDefinition* item = FindButton(name);
    if (item == nullptr) {
      error = std::string(name) + ": no button uses this icon";
      return false;
    }
    ButtonIcon icon{std::string(name), std::vector<icons::Image>(2)};
    if (!icons::ToImage(*item->smallPicture, icon.images[0], error)) return false;
    if (item->largePicture == nullptr) {
      icon.images[1] = Scaled(icon.images[0], 24);
    } else if (!icons::ToImage(*item->largePicture, icon.images[1], error)) {
      return false;
    }
    out.push_back(std::move(icon));
  }
  return true;
}

}  // namespace barsetup
