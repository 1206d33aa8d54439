#pragma once
// The Link library module loaded the way the program loads it, plus the
// program's own side of the conversation (answer read, block write) written
// plainly for the tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/abi/link_abi.h"
#include "platform/hid/hid_api.h"
#include "tests/adapter/temp_dir.h"
#include "tether/wire/adapter_protocol.h"

namespace lw::test {

struct LinkModule {
  ConnectHIDDeviceFn connect = nullptr;
  DisconnectHIDDeviceFn disconnect = nullptr;
  ICE_Check_FirmwareFn checkFirmware = nullptr;
  ICE_Send_CommandFn sendCommand = nullptr;
  ICE_WriteFn write = nullptr;
  ICE_Read_DataFn readData = nullptr;
  CheckDeviceFn checkDevice = nullptr;
  ModuleResourceFn resource = nullptr;
  IceRecord* ice = nullptr;
  HidDeviceRecord* device = nullptr;
  uint8_t* iceBytes = nullptr;  // the same record, addressed by offset as the program does

  static LinkModule& get();  // loads once per process
};

struct BlockResult {
  uint32_t writeResult = 0;    // ICE_Write
  int stoppedAtReport = -1;    // index of the report the device refused, or -1
  uint32_t reportError = 0;
  uint32_t readResult = 0;     // the answer read
  wire::Answer answer;
};

class LinkTest : public ::testing::Test {
 protected:
  // The emulator starts from adapter.ini's text (empty: its own defaults).
  explicit LinkTest(std::string adapterIni = "reenumerate_ms = 50\n") : adapterIni_(std::move(adapterIni)) {}
  void SetUp() override;
  void TearDown() override;

  void faults(const std::string& text) { dir.write("faults.ini", text); }
  lw_hid_handle handle() const { return link.device->handle; }

  uint32_t readAnswer(wire::Answer& answer, uint32_t timeoutMs = 4000);
  // New tag, parameters into Ice+12/+13, ICE_Send_Command(c, 1), answer read.
  uint32_t command(uint8_t c, uint8_t p0, uint8_t p1, wire::Answer& answer, uint32_t timeoutMs = 4000);
  BlockResult blockWrite(uint8_t c, const std::vector<uint8_t>& data, uint32_t timeoutMs = 4000);
  // Connect, check part 43 and erase, each expected to work.
  void readyTarget();

  LinkModule& link = LinkModule::get();
  TempDir dir;
  uint8_t tag = 0;

 private:
  std::string adapterIni_;
};

}  // namespace lw::test
