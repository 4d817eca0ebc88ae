#include "payload/button_icons.h"

#include <gtest/gtest.h>

#include "common/icons/ico_file.h"
#include "installer/icon_files.h"

namespace barsetup {
namespace {

TEST(ButtonIcons, EveryIconFileHasBothSizesOfItsButton) {
  std::vector<ButtonIcon> set;
  std::string error;
  ASSERT_TRUE(ButtonIcons(set, error)) << error;
  ASSERT_EQ(set.size(), IconFiles.size());
  std::vector<std::vector<uint8_t>> files;
  for (size_t i = 0; i < set.size(); ++i) {
    EXPECT_EQ(set[i].fileName, IconFiles[i]);
    ASSERT_EQ(set[i].images.size(), 2u);
    EXPECT_EQ(set[i].images[0].width, 16);
    EXPECT_EQ(set[i].images[1].width, 24);
    EXPECT_EQ(set[i].images[1].pixels.size(), 24u * 24u);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(icons::EncodeIco(set[i].images, bytes, error)) << error;
    files.push_back(std::move(bytes));
  }
  for (size_t i = 0; i < files.size(); ++i) {  // nine different pictures
    for (size_t j = i + 1; j < files.size(); ++j) EXPECT_FALSE(files[i] == files[j]) << i << " " << j;
  }
}

// The scaled 24-pixel image keeps the corners of the 16-pixel one.
TEST(ButtonIcons, ScaledImagesFollowTheirSource) {
  std::vector<ButtonIcon> set;
  std::string error;
  ASSERT_TRUE(ButtonIcons(set, error)) << error;
  for (const ButtonIcon& icon : set) {
    const icons::Image& small = icon.images[0];
    const icons::Image& large = icon.images[1];
    EXPECT_EQ(large.At(0, 0), small.At(0, 0)) << icon.fileName;
    EXPECT_EQ(large.At(23, 23).a == 0, small.At(15, 15).a == 0) << icon.fileName;
  }
}

}  // namespace
}  // namespace barsetup
