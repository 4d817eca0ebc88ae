#include "installer/zip_listing.h"

#include <gtest/gtest.h>

#include "installer/stored_zip_test_util.h"

namespace barsetup {
namespace {

const std::vector<std::pair<std::string, std::string>> kPackage = {
    {"content/icons/a.ico", "icon"}, {"content/workspace.xml", "<xml/>"}, {"META-INF/manifest", "m"}};

TEST(ZipListing, FindsAnEntryOfACompleteArchive) {
  const auto zip = StoredZip(kPackage);
  EXPECT_TRUE(ZipListsEntry(zip, "content/workspace.xml"));
  EXPECT_TRUE(ZipListsEntry(zip, "Content\\Workspace.XML"));
  EXPECT_FALSE(ZipListsEntry(zip, "content/workspace"));
  EXPECT_FALSE(ZipListsEntry(StoredZip({{"content/icons/a.ico", "x"}}), "content/workspace.xml"));
  EXPECT_TRUE(ZipListsEntry(StoredZip(kPackage, "a comment"), "content/workspace.xml"));
}

TEST(ZipListing, RejectsBrokenArchives) {
  const auto zip = StoredZip(kPackage);
  for (size_t keep : {size_t{0}, size_t{10}, zip.size() / 2, zip.size() - 23, zip.size() - 1}) {
    EXPECT_FALSE(ZipListsEntry({zip.begin(), zip.begin() + static_cast<long>(keep)}, "content/workspace.xml")) << keep;
  }
  auto garbage = zip;
  garbage.push_back('x');  // bytes after the end record that are no comment
  EXPECT_FALSE(ZipListsEntry(garbage, "content/workspace.xml"));
  auto badCount = zip;
  badCount[badCount.size() - 12] = 9;  // more entries than the directory holds
  EXPECT_FALSE(ZipListsEntry(badCount, "content/workspace.xml"));
  auto badOffset = zip;
  badOffset[badOffset.size() - 3] = 0x7F;  // central directory beyond the end
  EXPECT_FALSE(ZipListsEntry(badOffset, "content/workspace.xml"));
  EXPECT_FALSE(ZipListsEntry(std::vector<unsigned char>(100, 0), "content/workspace.xml"));
}

}  // namespace
}  // namespace barsetup
