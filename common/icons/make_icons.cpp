// make_icons DIR: writes every icon file of the set into DIR, which must
// exist. Exits non-zero, naming the file and the reason, on the first fault.
#include <cstdio>
#include <string>

#include "common/icons/ico_file.h"
#include "common/icons/icon_set.h"

namespace {

bool WriteIcon(const icons::IconFile& icon, const std::string& dir) {
  std::vector<icons::Image> images(icon.pictures.size());
  std::string error;
  for (size_t i = 0; i < icon.pictures.size(); ++i) {
    if (!icons::ToImage(icon.pictures[i], images[i], error)) {
      std::fprintf(stderr, "make_icons: %s, picture %zu: %s\n", icon.name.c_str(), i, error.c_str());
      return false;
    }
  }
  std::vector<uint8_t> bytes;
  if (!icons::EncodeIco(images, bytes, error) || !icons::WriteFileBytes(dir + "/" + icon.name, bytes, error)) {
    std::fprintf(stderr, "make_icons: %s: %s\n", icon.name.c_str(), error.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons DIR\n");
    return 2;
  }
  for (const icons::IconFile& icon : icons::IconSet()) {
    if (!WriteIcon(icon, argv[1])) return 1;
  }
  return 0;
}
