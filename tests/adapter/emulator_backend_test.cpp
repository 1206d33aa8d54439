// The emulator backend of the HID layer, below the layer's own checks.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/abi/link_abi.h"
#include "core/codes.h"
#include "platform/hid/hid_backend.h"
#include "tests/adapter/temp_dir.h"

namespace lw::test {
namespace {

// The emulator's devices answer a get-feature of the exact feature-report
// length only, as strict firmware does, whether in normal mode or in the
// firmware-update mode (whose checksum echo is shorter).
TEST(EmulatorBackend, EmulatedDevicesRefuseAGetFeatureOfAnyOtherLength) {
  for (const auto& [ini, pid] : {std::pair{"", kPidNormal}, std::pair{"mode = firmware-update\n", kPidFirmwareUpdate}}) {
    TempDir dir;
    dir.write("adapter.ini", ini);
    auto backend = hid::makeEmulatorBackend({dir.path().string()});
    uint32_t error = 0;
    const auto device = backend->open({kAdapterVendorId, pid}, {}, error);
    ASSERT_TRUE(device) << ini << error;
    const std::size_t length = device->lengths().feature;
    std::vector<uint8_t> report(length + 1, 0);
    EXPECT_EQ(device->getFeature({report.data(), length + 1}), err::kGenFailure) << ini;
    EXPECT_EQ(device->getFeature({report.data(), length - 1}), err::kGenFailure) << ini;
    EXPECT_EQ(device->getFeature({report.data(), length}), 0u) << ini;
  }
}

}  // namespace
}  // namespace lw::test
