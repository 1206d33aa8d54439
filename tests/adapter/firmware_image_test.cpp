// The firmware image the build makes, and the checks the boot loader runs.
#include <gtest/gtest.h>

#include "core/byte_sum.h"
#include "tether/firmware/adapter_firmware.h"
#include "tether/firmware/firmware_image.h"

namespace lw::fwimage {
namespace {

TEST(FirmwareImage, BuiltImageIsValidAndEndsWithItsVersion) {
  const auto image = adapterFirmwareImage();
  ASSERT_GE(image.size(), kMinimumSize);
  std::string why;
  EXPECT_TRUE(isValidImage(image, &why)) << why;
  EXPECT_EQ(versionOf(image), (Version{1, 5}));
  EXPECT_EQ(image[image.size() - 2], 1);
  EXPECT_EQ(image[image.size() - 1], 5);
  // The header names the image's own size and load address.
  EXPECT_EQ(image[kHeaderAt], 'L');
  EXPECT_EQ(image[kHeaderAt + 8] | (image[kHeaderAt + 9] << 8), static_cast<int>(image.size() & 0xFFFF));
}

TEST(FirmwareImage, DamagedImagesAreRefused) {
  const auto good = buildImage({2, 0x1A}, 7, 4096);
  ASSERT_TRUE(isValidImage(good));
  EXPECT_EQ(versionOf(good), (Version{2, 0x1A}));

  for (std::size_t at : {std::size_t{0}, kHeaderAt + 30, std::size_t{2000}, good.size() - 1}) {
    auto bad = good;
    bad[at] ^= 0x40;
    std::string why;
    EXPECT_FALSE(isValidImage(bad, &why)) << "byte " << at;
    EXPECT_FALSE(why.empty());
  }
  auto cut = good;
  cut.resize(good.size() - 4);
  EXPECT_FALSE(isValidImage(cut));
  EXPECT_FALSE(isValidImage(std::span(good).first(100)));
  EXPECT_EQ(versionOf(std::span(good).first(1)), (Version{0, 0}));
}

TEST(FirmwareImage, SameVersionBuildsSameBytes) {
  EXPECT_EQ(buildImage({1, 5}, 214, 12288), buildImage({1, 5}, 214, 12288));
  EXPECT_NE(buildImage({1, 5}, 214, 12288), buildImage({1, 6}, 214, 12288));
  // The program's expected checksum is the 16-bit byte sum of the image.
  const auto image = adapterFirmwareImage();
  EXPECT_EQ(codeChecksum(image.data(), image.size()), static_cast<uint16_t>(byteSum(image.data(), image.size())));
}

TEST(FirmwareImage, Crc32MatchesTheCommonCheckValue) {
  const std::string text = "123456789";
  EXPECT_EQ(crc32({reinterpret_cast<const uint8_t*>(text.data()), text.size()}), 0xCBF43926u);
}

}  // namespace
}  // namespace lw::fwimage
