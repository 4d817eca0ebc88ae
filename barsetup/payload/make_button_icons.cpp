// make_button_icons DIR: writes the nine button icon files into DIR, which
// must exist. Exits non-zero, naming the reason, on the first fault.
#include <cstdio>
#include <string>

#include "common/icons/ico_file.h"
#include "payload/button_icons.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_button_icons DIR\n");
    return 2;
  }
  std::vector<barsetup::ButtonIcon> set;
  std::string error;
  if (!barsetup::ButtonIcons(set, error)) {
    std::fprintf(stderr, "make_button_icons: %s\n", error.c_str());
    return 1;
  }
  for (const barsetup::ButtonIcon& icon : set) {
    std::vector<uint8_t> bytes;
    if (!icons::EncodeIco(icon.images, bytes, error) ||
        !icons::WriteFileBytes(std::string(argv[1]) + "/" + icon.fileName, bytes, error)) {
      std::fprintf(stderr, "make_button_icons: %s: %s\n", icon.fileName.c_str(), error.c_str());
      return 1;
    }
  }
  return 0;
}
