#pragma once
// --log STORE of program, program-adapter, the target commands (read,
// verify, erase, blank-check) and gang: the store is tried before any
// adapter is touched, and every run that got that far, passed or failed,
// leaves one row of its target. A row that cannot reach its store waits in
// the pending journal; the board's own result stays what it was.
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "cli/console_session.h"
#include "core/json_writer.h"
#include "core/ports/production_store_port.h"
#include "core/production_record.h"
#include "production/store_address.h"

namespace lw::cli {

// "2026-12-07T15:04:05Z"
std::string utcTimestamp(std::time_t when);

// What became of a row.
enum class RowFate { kStored, kPending, kLost };

// Sends record to its store (open, when the caller has it opened; else it
// is reached here), or, failing that, into the pending journal, and says on
// standard error what happened unless it was stored. *noteKey and
// *noteText get what --json says of it ("log_pending" or "log_error").
RowFate deliverRow(const StoreAddress& address, ProductionStorePort* open, const ProductionRecord& record,
                   std::string* noteKey = nullptr, std::string* noteText = nullptr);
// The journal's part of deliverRow, for a row whose store failed with status.
RowFate keepRow(const StoreAddress& address, const StoreStatus& status, const ProductionRecord& record,
                std::string* noteKey = nullptr, std::string* noteText = nullptr);

class ProductionLog {
 public:
  explicit ProductionLog(const Options& options);

  bool enabled() const { return address_.has_value(); }
  const StoreAddress& address() const { return *address_; }

  // Before any adapter is touched. kExitOk, also without --log, and when the
  // store cannot be reached now (its rows will wait in the journal; said
  // when sayUnreachable, else the row's own line says it) unless serial
  // numbers are needed from it; else kExitFailed after saying why nothing
  // was programmed (json gets "log_error").
  int check(JsonObject& json, bool needsSerialNumbers, bool sayUnreachable = false);

  // The store, opened (reached again when it could not be before); null
  // when it cannot be reached, with the reason in *why.
  ProductionStorePort* store(std::string* why = nullptr);

  // The row of this run's board. session: null when the job ended before a
  // session was opened. why: the reason when no box said it; otherwise a
  // failure is the last message line, as --json's "result".
  ProductionRecord record(ConsoleSession* session, int exitStatus, const std::string& why) const;

  // The id of this run's row (a serial number handed out names it).
  const std::string& rowId() const { return rowId_; }
  const std::string& station() const { return station_; }
  const std::string& runId() const { return runId_; }
  // The image the board got, named before a serial number went into it.
  void setImage(const std::vector<uint8_t>& image);
  void setSerial(std::string digits, std::string pool);

  // Delivers record (time: now). Returns exitStatus, or kExitFailed when a
  // passed job's row could be kept neither in the store nor in the journal:
  // the programming happened, but a production run must not pass without
  // its record.
  int deliver(JsonObject& json, ProductionRecord record, int exitStatus);

 private:
  const Options& options_;
  std::optional<StoreAddress> address_;
  std::unique_ptr<ProductionStorePort> store_;
  StoreStatus opened_ = StoreStatus::unreachable("not opened");
  std::string rowId_, runId_, station_;
  std::optional<std::string> imageSha256_;
  std::string serialDigits_, serialPool_;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace lw::cli
