#include <gtest/gtest.h>

#include <map>

#include "link/link_api.h"
#include "tests/programming/fake_adapter.h"

namespace lw::test {
namespace {

// A module whose exports are a map of names.
class MapModules final : public ModulePort {
 public:
  ModuleHandle load(const std::string&, uint32_t&) override { return this; }
  void* symbol(ModuleHandle, const char* name) override {
    const auto it = exports.find(name);
    return it == exports.end() ? nullptr : it->second;
  }
  void unload(ModuleHandle) override {}
  std::map<std::string, void*> exports;
};

std::vector<uint8_t> g_image;
const uint8_t* imageResource(const char* type, uint32_t id, uint32_t* size) {
  if (std::string(type) != "FW" || id != 5002 || g_image.empty()) return nullptr;
  *size = static_cast<uint32_t>(g_image.size());
  return g_image.data();
}

TEST(LinkApi, BindsEntryPointsAndRecordsByName) {
  FakeAdapter adapter;
  const LinkApi fake = adapter.api();
  MapModules modules;
  modules.exports = {
      {"ConnectHIDDevice", reinterpret_cast<void*>(fake.connectHidDevice)},
      {"DisconnectHIDDevice", reinterpret_cast<void*>(fake.disconnectHidDevice)},
      {"ICE_Check_Firmware", reinterpret_cast<void*>(fake.checkFirmware)},
      {"ICE_Send_Command", reinterpret_cast<void*>(fake.sendCommand)},
      {"ICE_Write", reinterpret_cast<void*>(fake.write)},
      {"ICE_Read_Data", reinterpret_cast<void*>(fake.readData)},
      {"CheckDevice", reinterpret_cast<void*>(fake.checkDevice)},
      {"Ice", fake.ice},
      {"HidDevice", fake.hidDevice},
      {"LW_ModuleResource", reinterpret_cast<void*>(&imageResource)},
  };
  const LinkApi api = bindLinkLibrary(modules, &modules);
  EXPECT_TRUE(api.complete());
  EXPECT_EQ(api.ice, fake.ice);
  EXPECT_EQ(api.hidDevice, fake.hidDevice);
  EXPECT_EQ(api.connect(0, 0, 1), 0);
  EXPECT_EQ(api.openHandle(), adapter.device().handle);
  EXPECT_EQ(api.disconnect(), 0);

  // A library without some entry points binds what it has; the missing
  // ones fail when called instead of crashing.
  modules.exports.erase("ICE_Write");
  modules.exports.erase("HidDevice");
  const LinkApi partial = bindLinkLibrary(modules, &modules);
  EXPECT_FALSE(partial.complete());
  EXPECT_EQ(partial.writeBlock(), kLinkEntryMissing);
  EXPECT_EQ(partial.openHandle(), 0u);
  EXPECT_FALSE(bindLinkLibrary(modules, nullptr).complete());
}

TEST(LinkApi, FirmwareImageThroughTheResourceAccessor) {
  LinkApi api;
  EXPECT_TRUE(firmwareImage(api).empty());
  api.moduleResource = &imageResource;
  g_image = {0xAA, 0x01, 0x05};
  ASSERT_EQ(firmwareImage(api).size(), 3u);
  EXPECT_EQ(firmwareImage(api)[2], 0x05);
  g_image.clear();
  EXPECT_TRUE(firmwareImage(api).empty());
}

}  // namespace
}  // namespace lw::test
