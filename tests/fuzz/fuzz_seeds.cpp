// Writes seed corpora for the fuzz targets into <folder>/<target>/,
// each seed made by the project's own writers: the compiled keyed tables,
// the emulator's files as it writes them, encoded adapter reports and a
// version file as the update check expects it and HTTP answers carrying it,
// production log rows as CSV and JSON lines. (Project files come from
// loomwrite-cli, HEX seeds from the example and the shared HEX corpus.)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/fault_config.h"
#include "emulator/state_text.h"
#include "emulator/target_mcu.h"
#include "production/record_text.h"
#include "resources/embedded_resources.h"
#include "resources/keyed_table.h"
#include "tether/wire/adapter_protocol.h"
#include "update/own_version.h"
#include "update/update_texts.h"
#include "update/version_number.h"

namespace fs = std::filesystem;

namespace {

fs::path root;
int written = 0;

void seed(const std::string& target, const std::string& name, std::span<const uint8_t> bytes) {
  const fs::path dir = root / target;
  fs::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ++written;
}
void seed(const std::string& target, const std::string& name, std::string_view text) {
  seed(target, name, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// The adapter target's first byte picks whether the report gets sealed.
void report(const std::string& name, uint8_t mode, std::span<const uint8_t> r) {
  std::vector<uint8_t> bytes{mode};
  bytes.insert(bytes.end(), r.begin(), r.end());
  seed("fuzz_adapter_answers", name, bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
    return 2;
  }
  root = argv[1];

  int tables = 0;
  for (const lw::EmbeddedResource& r : lw::embeddedResourceList()) {
    if (std::string_view(r.type) != lw::kKeyedTableType || tables == 24) continue;
    seed("fuzz_keyed_tables", "table_" + std::to_string(r.id), std::span(r.bytes, r.size));
    ++tables;
  }

  seed("fuzz_emulator_state", "adapter.ini", lw::emu::formatAdapterSettings({}));
  seed("fuzz_emulator_state", "target.ini", lw::emu::formatTargetSettings({}));
  seed("fuzz_emulator_state", "faults.ini", lw::emu::faultTemplate());

  lw::ProductionRecord row;
  row.id = "3f2b8c1e-5d0a-4e7b-9c41-0a2d6e8f1b73";
  row.time = "2026-12-07T15:04:05Z";
  row.command = "program";
  row.station = "station-a";
  row.adapter = "usb:1-2.3";
  row.part = "Larch-F8U6";
  row.size = 380;
  row.checksum = 0x518D;
  row.serialNumber = "00001234";
  row.serialString = "=LINE,\"A\"";
  row.message = "Error !: Erase Chip Fail!\r\nagain \xE2\x80\xA8";
  row.durationMs = 812;
  seed("fuzz_production_rows", "log.csv", lw::csvHeader() + lw::csvLine(row) + lw::csvLine(row));
  seed("fuzz_production_rows", "row.jsonl", "{\"log\":\"postgresql://lw@db/line\"," + lw::jsonLine(row).substr(1));

  const std::string version = lw::formatVersion(lw::ownProductVersion());
  seed("fuzz_update_ini", "version.ini",
       "\xEF\xBB\xBF[" + std::string(lw::updatetext::kSection) + "]\r\n" + lw::updatetext::kVersionKey + " = \"" +
           version + "\"\r\n" + lw::updatetext::kUrlKey + "=https://example.invalid/download\r\n");
  // The first byte: cut after 40 bytes, the connection closes afterwards.
  const std::string ini = "[" + std::string(lw::updatetext::kSection) + "]\r\nVersion=1.4.0.1\r\n";
  seed("fuzz_http_response", "length.txt",
       "\xA8HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(ini.size()) + "\r\n\r\n" + ini);
  seed("fuzz_http_response", "chunked.txt",
       "\x28HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n8;x=y\r\n" +
           ini.substr(0, 8) + "\r\n" + [&] {
             char size[16];
             std::snprintf(size, sizeof size, "%zx", ini.size() - 8);
             return std::string(size);
           }() + "\r\n" + ini.substr(8) + "\r\n0\r\nX-Trailer: 1\r\n\r\n");
  seed("fuzz_http_response", "redirect.txt", "\x80HTTP/1.0 302 Found\nLocation: /moved.ini\n\n");

  namespace wire = lw::wire;
  std::vector<uint8_t> r(wire::kRequestLength);
  wire::encodeAnswer({0x5C, 0x25, 0, 3300}, r);
  report("answer", 0, std::span(r).subspan(1, wire::kInputLength - 1));
  wire::Request request;
  request.kind = wire::RequestKind::kBlockWrite;
  request.tag = 0x11;
  request.address = 0x0800;
  request.byteCount = 0x400;
  wire::encodeRequest(request, r);
  report("request", 0x00, r);
  wire::IdentifyAnswer identify;
  identify.firmwareMajor = 2;
  identify.storage = 1;
  identify.storageCapacity = 0x10000;
  wire::encodeIdentifyAnswer(identify, r);
  report("identify", 0x00, r);
  wire::ReadAnswer read;
  read.length = wire::kReadChunkSize;
  read.offset = 0x70;
  wire::encodeReadAnswer(read, r);
  report("read", 0x00, r);

  using namespace std::string_literals;
  seed("fuzz_offline_dialog", "fields", "100\0"s + "SN-\xC3\xA9\xE2\x82\xAC-0001" + "\0"s + "000000FF" + "\0"s + "0000FFF0");

  std::printf("%d seeds written into %s\n", written, root.c_str());
  return 0;
}
