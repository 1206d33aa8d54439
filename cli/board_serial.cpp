#include "cli/board_serial.h"

#include <cstdio>
#include <ctime>

#include "cli/command_support.h"
#include "core/text.h"
#include "image/code_buffer_access.h"
#include "production/serial_stamp.h"
#include "resources/hex_entry.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_window_host.h"

namespace lw::cli {

std::string serialPlaceProblem(const SerialOptions& serial, uint32_t flashSize, const std::string& partName) {
  if (!serial.at) return {};
  if (static_cast<uint64_t>(*serial.at) + serial.bytes <= flashSize) return {};
  return format("--serial-at %08X: %u bytes there do not fit in the %u bytes of %s's flash", *serial.at, serial.bytes,
                flashSize, partName.c_str());
}

int putBoardSerial(ConsoleSession& session, const Options& o, ProductionLog& log, JsonObject& json, std::string* why) {
  const SerialOptions& s = o.serial;
  if (const std::string wrong = serialPlaceProblem(s, session.context().state.part.flashSize, session.partName());
      !wrong.empty()) {
    *why = wrong;
    return usageError(wrong);
  }
  std::vector<uint8_t> image = session.codeBuffer();
  log.setImage(image);
  std::string unreachable;
  ProductionStorePort* store = log.store(&unreachable);
  uint64_t number = 0;
  const SerialClaim claim{s.pool, s.from, highestSerial(s.bytes), log.rowId(), log.station(), adapterPlace(o),
                          utcTimestamp(std::time(nullptr))};
  const StoreStatus taken = store ? store->takeSerial(claim, number) : StoreStatus::unreachable(unreachable);
  if (!taken.ok()) {
    *why = "no serial number from the production log " + log.address().shown + " (" + taken.why +
           "); the board was not touched";
    std::fprintf(stderr, "loomwrite-cli: %s\n", why->c_str());
    return kExitFailed;
  }
  const std::string digits = serialDigits(number, s.bytes);
  log.setSerial(digits, s.pool);
  stampSerial(image, *s.at, number, s.bytes);
  showLoadedImage(session.operations(), session.main().lastLoadedPath(), image);
  json.add("serial_number", digits).add("serial_pool", s.pool).add("serial_address", hexFormat(*s.at, 8));
  if (!o.json) {
    std::printf("Serial 0x%s (pool %s) at 0x%08X\n", digits.c_str(), s.pool.c_str(), *s.at);
    std::fflush(stdout);
  }
  return kExitOk;
}

}  // namespace lw::cli
