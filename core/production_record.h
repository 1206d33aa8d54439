#pragma once
// One row of the production log: one target a command worked on (or was
// refused for), pass or fail, with where, when, what and who.
#include <cstdint>
#include <string>

namespace lw {

struct ProductionRecord {
  // Unique for every row ever made; a store keeps one row per id, so a row
  // sent twice (a replay of the pending journal) is kept once.
  std::string id;
  std::string time;     // UTC, e.g. 2026-12-07T15:04:05Z
  std::string command;  // program, program-adapter, read, verify, erase or blank-check
  std::string station;  // the computer (its host name, or --station)
  std::string operatorName;
  std::string runId;    // shared by the boards of one gang run
  std::string adapter;  // the adapter's place
  std::string adapterSerial;  // its USB serial number string; empty: none
  std::string part;
  uint64_t size = 0;      // bytes of the Code buffer
  uint16_t checksum = 0;  // as the window's checksum field
  std::string imageSha256;   // of the Code buffer before a serial number went in; empty: no image
  std::string serialNumber;  // hexadecimal digits; empty when no serial number was written
  std::string serialString;
  std::string serialPool;    // the pool a computer-given serial number came from
  bool pass = false;
  std::string message;       // why it failed; empty on pass
  std::string failurePhase;  // the step it failed at ("erase (command 13)"); empty on pass
  uint64_t durationMs = 0;

  bool operator==(const ProductionRecord&) const = default;
};

}  // namespace lw
