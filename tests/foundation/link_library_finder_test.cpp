#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include <unistd.h>

#include "app/link_library_finder.h"
#include "core/codes.h"
#include "core/abi/version_block.h"

namespace fs = std::filesystem;

namespace lw {
namespace {

class TempTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("lw-finder-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path write(const fs::path& rel, const std::string& bytes) {
    const fs::path p = root_ / rel;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }

  static std::string moduleWithVersion(uint16_t major, uint16_t minor) {
    std::string bytes(1000, '\x7f');
    bytes += kVersionSignatureHead;
    bytes += kVersionSignatureTail;
    for (uint16_t v : {major, minor, uint16_t{7}, uint16_t{9}}) {
      bytes += static_cast<char>(v & 0xFF);
      bytes += static_cast<char>(v >> 8);
    }
    return bytes + std::string(64, '\0');
  }

  fs::path root_;
};

TEST_F(TempTree, VersionCheckOnCraftedFiles) {
  EXPECT_EQ(checkLinkLibraryVersion((root_ / "missing.so").string()), err::kFileNotFound);
  EXPECT_EQ(checkLinkLibraryVersion(write("noblock.so", std::string(5000, 'x')).string()), err::kInvalidData);
  EXPECT_EQ(checkLinkLibraryVersion(write("empty.so", "").string()), err::kInvalidData);
  EXPECT_EQ(checkLinkLibraryVersion(write("v12.so", moduleWithVersion(1, 2)).string()), kLinkVersionTooOld);
  EXPECT_EQ(checkLinkLibraryVersion(write("v13.so", moduleWithVersion(1, 3)).string()), 0u);
  EXPECT_EQ(checkLinkLibraryVersion(write("v14.so", moduleWithVersion(1, 4)).string()), 0u);
  EXPECT_EQ(checkLinkLibraryVersion(write("v20.so", moduleWithVersion(2, 0)).string()), 0u);
  EXPECT_EQ(checkLinkLibraryVersion(write("v09.so", moduleWithVersion(0, 9)).string()), kLinkVersionTooOld);
  // A signature cut off at the end of the file is no block.
  std::string cut = moduleWithVersion(1, 4);
  cut.resize(1000 + 16 + 3);
  EXPECT_EQ(checkLinkLibraryVersion(write("cut.so", cut).string()), err::kInvalidData);
}

TEST_F(TempTree, ProjectsOwnLinkLibraryCarriesVersion14) {
  const fs::path built = fs::path(LW_BIN_DIR) / linkLibraryFileName();
  if (!fs::exists(built)) GTEST_SKIP() << "module not built";
  EXPECT_EQ(checkLinkLibraryVersion(built.string()), 0u);
}

TEST_F(TempTree, LocatorSearchesBelowThenOutwardThroughAncestors) {
  // root/app/bin is the program's directory; the library sits in a sibling
  // folder of an ancestor: root/vendor/lib.
  fs::create_directories(root_ / "app" / "bin" / "plugins");
  write("app/bin/plugins/readme.txt", "x");
  const fs::path lib = write("vendor/lib/LIBv0izaz_tether.SO", "x");
  const auto found = locateLinkLibrary((root_ / "app" / "bin").string(), "libV0Izaz_Tether.so", {}, root_.string());
  ASSERT_TRUE(found);
  EXPECT_EQ(fs::path(*found), lib) << "names compare ignoring case";

  // Below the start directory wins over anything further out.
  const fs::path near = write("app/bin/plugins/deep/libV0Izaz_Tether.so", "x");
  EXPECT_EQ(fs::path(*locateLinkLibrary((root_ / "app" / "bin").string(), "libV0Izaz_Tether.so", {}, root_.string())),
            near);
  // Nothing is searched beyond the ceiling.
  fs::remove(near);
  fs::remove(lib);
  std::vector<std::string> seen;
  EXPECT_FALSE(locateLinkLibrary((root_ / "app" / "bin").string(), "libV0Izaz_Tether.so",
                                 [&](const std::string& d) { seen.push_back(d); }, (root_ / "app").string()));
  for (const auto& d : seen) EXPECT_EQ(d.rfind((root_ / "app").string(), 0), 0u) << d;
}

TEST_F(TempTree, LocatorDoesNotSearchASubtreeTwiceAndGivesUp) {
  // A directory loop through a link would trap a search that followed it.
  fs::create_directories(root_ / "a" / "b");
  fs::create_directory_symlink(root_ / "a", root_ / "a" / "b" / "loop");
  fs::create_directories(root_ / "ab");
  std::map<std::string, int> visits;
  const std::string absent = "nowhere-to-be-found-" + root_.filename().string();
  EXPECT_FALSE(locateLinkLibrary((root_ / "a" / "b").string(), absent, [&](const std::string& d) { ++visits[d]; }));
  for (const auto& [dir, count] : visits) EXPECT_EQ(count, 1) << dir << " searched more than once";
  EXPECT_EQ(visits.count((root_ / "a" / "b" / "loop").string()), 0u) << "directory links are not followed";
  EXPECT_EQ(visits[(root_ / "ab").string()], 1);
  EXPECT_EQ(visits.count("/"), 0u) << "the filesystem root is not searched";
  for (const auto& [dir, count] : visits) EXPECT_FALSE(isSystemTree(dir)) << dir << " is a system tree";

  // A sibling whose name starts like the searched subtree is still searched.
  const fs::path lib = write("ab/libV0Izaz_Tether.so", "x");
  const auto found = locateLinkLibrary((root_ / "a").string(), "libV0Izaz_Tether.so");
  ASSERT_TRUE(found);
  EXPECT_EQ(fs::path(*found), lib);
  EXPECT_FALSE(locateLinkLibrary((root_ / "missing").string(), "libV0Izaz_Tether.so"));
}

TEST(LinkLibraryLocator, SystemTreesAreNeverSearchedWholesale) {
  for (const char* dir : {"/", "/usr", "/usr/", "/opt", "/home", "/tmp", "/usr/lib", "/usr/local", "/usr/local/lib",
                          "/usr/share"}) {
    EXPECT_TRUE(isSystemTree(dir)) << dir;
  }
  for (const char* dir : {"/usr/lib/loomwrite", "/opt/loomwrite", "/home/user", "/home/user/tools", "/usr/libx"}) {
    EXPECT_FALSE(isSystemTree(dir)) << dir;
  }
}

}  // namespace
}  // namespace lw
