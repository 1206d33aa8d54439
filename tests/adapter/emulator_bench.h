#pragma once
// Drives an AdapterEmulator directly, with a clock the test moves by hand.
#include <optional>
#include <vector>

#include "emulator/adapter_emulator.h"
#include "tests/adapter/temp_dir.h"
#include "tether/wire/adapter_protocol.h"

namespace lw::test {

struct EmulatorBench {
  TempDir dir;
  emu::Instant now = emu::Clock::now();
  std::optional<emu::AdapterEmulator> device;

  // prepare runs before the emulator first reads the directory.
  explicit EmulatorBench(const std::string& adapterIni = "reenumerate_ms = 50\n") {
    if (!adapterIni.empty()) dir.write("adapter.ini", adapterIni);
    device.emplace(dir.path());
    device->refresh(now);
  }

  void later(int ms) {
    now += std::chrono::milliseconds(ms);
    device->advance(now);
  }

  uint32_t request(wire::RequestKind kind, uint8_t command, uint8_t tag = 0x42, uint32_t count = 0,
                   std::vector<uint8_t> params = {}, uint32_t address = 0) {
    wire::Request q;
    q.kind = kind;
    q.command = command;
    q.tag = tag;
    q.byteCount = count;
    q.address = address;
    for (std::size_t i = 0; i < params.size() && i < q.params.size(); ++i) q.params[i] = params[i];
    std::vector<uint8_t> r(device->lengths().feature, 0);
    wire::encodeRequest(q, r);
    return device->setFeature(r, now).error;
  }

  uint32_t command(uint8_t c, std::vector<uint8_t> params = {}, uint8_t tag = 0x42) {
    return request(wire::RequestKind::kCommand, c, tag, 0, std::move(params));
  }

  // The one answer queued since the last call; nothing when none came.
  std::optional<wire::Answer> answer() {
    auto reports = device->takeInputReports(now);
    if (reports.size() != 1 || reports[0].size() != wire::kInputLength) return std::nullopt;
    return wire::decodeAnswer(std::span(reports[0]).subspan(1));
  }

  // Sends a block through ICE_Write's request and the data reports.
  uint32_t block(uint8_t c, const std::vector<uint8_t>& data, uint8_t tag = 0x43, int sumDelta = 0) {
    uint32_t sum = sumDelta;
    for (uint8_t b : data) sum += b;
    const uint32_t e = request(wire::RequestKind::kBlockWrite, c, tag, static_cast<uint32_t>(data.size()),
                               {static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8)});
    if (e != 0) return e;
    for (std::size_t at = 0; at < data.size(); at += 128) {
      std::vector<uint8_t> r(device->lengths().feature, 0);
      std::copy(data.begin() + at, data.begin() + std::min(data.size(), at + 128), r.begin() + 1);
      if (const uint32_t err = device->setFeature(r, now).error; err != 0) return err;
    }
    return 0;
  }

  // Connects and checks part 43, as the program does before it writes.
  void connectTarget() {
    command(37, {0x19, 0x37});
    answer();
    command(35, {43, 0});
    answer();
  }
};

}  // namespace lw::test
