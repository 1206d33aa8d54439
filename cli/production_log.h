#pragma once
// The production log's lines: one record per programmed (or refused) target,
// as a CSV row when the log's name ends in .csv, else as one JSON object per
// line. Plain formatting only; appending to the file is log_append.h's job.
#include <cstdint>
#include <ctime>
#include <string>

namespace lw::cli {

struct ProductionRecord {
  std::string time;     // UTC, e.g. 2026-12-07T15:04:05Z
  std::string command;  // program, program-adapter, read, verify, erase or blank-check
  std::string adapter;  // the adapter's place
  std::string part;
  uint64_t size = 0;      // bytes of the Code buffer
  uint16_t checksum = 0;  // as the window's checksum field
  std::string serialNumber;  // 8 hex digits; empty when no serial number was written
  std::string serialString;
  bool pass = false;
  std::string message;  // why it failed; empty on pass
};

// "2026-12-07T15:04:05Z"
std::string utcTimestamp(std::time_t when);

// Whether the log at path is written as CSV (".csv", any letter case).
bool isCsvLogPath(const std::string& path);

// One field quoted as RFC 4180 asks: only when it holds a comma, a quote or
// a line break, with quotes doubled. A field that starts with '=', '+',
// '-', '@', a tab or a carriage return would be run as a formula by a
// spreadsheet; it gets an apostrophe in front, which makes it text.
std::string csvField(const std::string& text);

// The CSV header line, ending in CRLF as every CSV line does.
std::string csvHeader();
std::string csvLine(const ProductionRecord& r);
// One JSON object and "\n"; nothing inside it breaks the line.
std::string jsonLine(const ProductionRecord& r);

// What a log at path gets for r: its line, and the header an empty file starts with.
struct LogLine {
  std::string header;  // empty for JSON lines
  std::string line;
};
LogLine logLineFor(const std::string& path, const ProductionRecord& r);

}  // namespace lw::cli
