#include "tests/adapter/link_module.h"

#include <cstring>

#include "link/link_api.h"
#include "platform/posix/posix_modules.h"

namespace lw::test {

LinkModule& LinkModule::get() {
  static LinkModule m = [] {
    LinkModule l;
    // Loaded and bound exactly as the program does it.
    static PosixModules modules;
    uint32_t error = 0;
    ModuleHandle module = modules.load(LW_BIN_DIR "/libV0Izaz_Tether.so", error);
    if (!module) {
      ADD_FAILURE() << "cannot load the Link library, error " << error;
      return l;
    }
    const LinkApi api = bindLinkLibrary(modules, module);
    l.connect = api.connectHidDevice;
    l.disconnect = api.disconnectHidDevice;
    l.checkFirmware = api.checkFirmware;
    l.sendCommand = api.sendCommand;
    l.write = api.write;
    l.readData = api.readData;
    l.checkDevice = api.checkDevice;
    l.resource = api.moduleResource;
    l.ice = api.ice;
    l.device = api.hidDevice;
    l.iceBytes = reinterpret_cast<uint8_t*>(l.ice);
    return l;
  }();
  return m;
}

void LinkTest::SetUp() {
  ASSERT_TRUE(link.connect && link.disconnect && link.checkFirmware && link.sendCommand && link.write &&
              link.readData && link.checkDevice && link.resource && link.ice && link.device);
  if (!adapterIni_.empty()) dir.write("adapter.ini", adapterIni_);
  ASSERT_EQ(lw_hid_select_backend(("emulator:" + dir.path().string()).c_str()), 0u);
}

void LinkTest::TearDown() {
  link.disconnect();
  lw_hid_select_backend("usb");
}

uint32_t LinkTest::readAnswer(wire::Answer& answer, uint32_t timeoutMs) {
  std::vector<uint8_t> report(link.device->inputReportLength, 0);
  const uint32_t e = lw_hid_read_input(handle(), report.data(), report.size(), timeoutMs);
  if (e != 0) return e;
  answer = *wire::decodeAnswer(std::span(report).subspan(1));
  return 0;
}

uint32_t LinkTest::command(uint8_t c, uint8_t p0, uint8_t p1, wire::Answer& answer, uint32_t timeoutMs) {
  link.ice->requestTag = ++tag;
  link.iceBytes[kIceParam0] = p0;
  link.iceBytes[kIceParam1] = p1;
  if (const int e = link.sendCommand(c, 1); e != 0) return static_cast<uint32_t>(e);
  return readAnswer(answer, timeoutMs);
}

BlockResult LinkTest::blockWrite(uint8_t c, const std::vector<uint8_t>& data, uint32_t timeoutMs) {
  BlockResult r;
  uint32_t sum = 0;
  for (uint8_t b : data) sum += b;
  std::memset(link.ice->params, 0, sizeof link.ice->params);
  link.iceBytes[kIceParam0] = static_cast<uint8_t>(sum);
  link.iceBytes[kIceParam1] = static_cast<uint8_t>(sum >> 8);
  link.ice->command = c;
  link.ice->address = 0;
  link.ice->byteCount = static_cast<uint32_t>(data.size());
  link.ice->requestTag = ++tag;
  r.writeResult = static_cast<uint32_t>(link.write());
  if (r.writeResult != 0) return r;
  std::vector<uint8_t> report(link.device->featureReportLength);
  for (std::size_t at = 0, index = 0; at < data.size(); at += wire::kBlockDataPerReport, ++index) {
    std::fill(report.begin(), report.end(), 0);
    const std::size_t n = std::min(wire::kBlockDataPerReport, data.size() - at);
    std::memcpy(report.data() + 1, data.data() + at, n);
    r.reportError = lw_hid_set_feature(handle(), report.data(), report.size());
    if (r.reportError != 0) {
      r.stoppedAtReport = static_cast<int>(index);
      break;
    }
  }
  r.readResult = readAnswer(r.answer, timeoutMs);
  return r;
}

void LinkTest::readyTarget() {
  ASSERT_EQ(link.connect(0, 0, 1), 0);
  wire::Answer a;
  ASSERT_EQ(command(37, 0x19, 0x37, a), 0u);
  ASSERT_EQ(a.status, 0);
  ASSERT_EQ(command(35, 43, 0, a), 0u);
  ASSERT_EQ(a.status, 0);
  ASSERT_EQ(command(13, 0, 0, a), 0u);
  ASSERT_EQ(a.status, 0);
}

}  // namespace lw::test
