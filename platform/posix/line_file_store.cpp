#include "platform/posix/line_file_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "core/regular_file.h"
#include "platform/posix/locked_append.h"
#include "production/record_query.h"
#include "production/record_text.h"

namespace lw {

namespace {

// Which lines were passed over, for the status: "lines 4, 9 cannot be read".
class SkippedLines {
 public:
  void add(std::size_t line) {
    if (lines_.size() < kNamed) lines_.push_back(line);
    ++count_;
  }
  std::string text() const {
    if (count_ == 0) return {};
    std::string out = count_ == 1 ? "line " : "lines ";
    for (std::size_t i = 0; i < lines_.size(); ++i) out += (i ? ", " : "") + std::to_string(lines_[i]);
    if (count_ > lines_.size()) out += " and " + std::to_string(count_ - lines_.size()) + " more";
    return out + (count_ == 1 ? " cannot be read as a row" : " cannot be read as rows");
  }

 private:
  static constexpr std::size_t kNamed = 5;
  std::vector<std::size_t> lines_;
  std::size_t count_ = 0;
};

// Every row of CSV or JSON-lines text, with the line each starts on.
template <typename Sink>
void readRows(std::istream& in, bool csv, SkippedLines& skipped, Sink&& each) {
  std::size_t line = 0;
  if (csv) {
    std::vector<std::string> fields;
    if (!readCsvRow(in, fields, &line)) return;
    const std::vector<const RecordColumn*> columns = columnsOfHeader(fields);
    for (std::size_t at = line + 1; readCsvRow(in, fields, &line); at = line + 1) {
      if (fields.size() == 1 && fields[0].empty()) continue;
      ProductionRecord r;
      if (fields.size() != columns.size() || !recordFromCsv(fields, columns, r)) {
        skipped.add(at);
        continue;
      }
      if (!each(r)) return;
    }
    return;
  }
  for (std::string text; std::getline(in, text);) {
    ++line;
    if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
    ProductionRecord r;
    if (!recordFromJsonLine(text, r)) {
      skipped.add(line);
      continue;
    }
    if (!each(r)) return;
  }
}

}  // namespace

LineFileStore::LineFileStore(std::string path, Format format, Use use)
    : path_(std::move(path)), format_(format), use_(use) {}

StoreStatus LineFileStore::open() {
  if (use_ == Use::kAppend) {
    const std::string why = checkLogAppendable(path_);
    return why.empty() ? StoreStatus{} : StoreStatus::refused(why);
  }
  const OpenedFile file = openRegularFile(path_, O_RDONLY);
  if (!file.ok()) return StoreStatus::refused(file.reason);
  ::close(file.fd);
  return {};
}

std::string LineFileStore::compose(int fd, long size, const std::vector<ProductionRecord>& rows, Delivery delivery,
                                   std::string* why) const {
  std::string existing;
  if (size > 0 && (delivery == Delivery::kReplay || format_ == Format::kCsv)) {
    if (!readWholeFile(fd, size, existing)) {
      *why = std::string("cannot be read: ") + std::strerror(errno);
      return {};
    }
  }
  // A CSV log keeps the columns its header named when it was begun.
  std::vector<const RecordColumn*> columns = allColumns();
  std::string text;
  std::istringstream in(existing);
  if (format_ == Format::kCsv) {
    std::vector<std::string> header;
    if (size == 0 || !readCsvRow(in, header)) {
      text = csvHeader(columns);
    } else {
      columns = columnsOfHeader(header);
    }
  }
  std::set<std::string> held;
  if (delivery == Delivery::kReplay) {
    in.clear();
    in.seekg(0);
    SkippedLines ignored;
    readRows(in, format_ == Format::kCsv, ignored, [&](const ProductionRecord& r) {
      if (!r.id.empty()) held.insert(r.id);
      return true;
    });
  }
  for (const ProductionRecord& r : rows) {
    if (held.count(r.id)) continue;
    text += format_ == Format::kCsv ? csvLine(r, columns) : jsonLine(r);
  }
  return text;
}

StoreStatus LineFileStore::add(const std::vector<ProductionRecord>& rows, Delivery delivery) {
  const std::string why = appendUnderLock(
      path_, [&](int fd, off_t size, std::string* failed) { return compose(fd, size, rows, delivery, failed); });
  if (why.empty()) return {};
  // A full disk or a share that went away may come back; a directory in the
  // log's place will not, but the row is kept either way.
  return StoreStatus::unreachable(why);
}

StoreStatus LineFileStore::select(const RecordFilter& filter, const std::function<bool(const ProductionRecord&)>& each) {
  const OpenedFile file = openRegularFile(path_, O_RDONLY);
  if (!file.ok()) return StoreStatus::refused(file.reason);
  ::close(file.fd);
  std::ifstream in(path_, std::ios::binary);
  if (!in) return StoreStatus::refused(std::string("cannot be opened: ") + std::strerror(errno));
  SkippedLines skipped;
  readRows(in, format_ == Format::kCsv, skipped, [&](const ProductionRecord& r) { return !matches(filter, r) || each(r); });
  if (in.bad()) return StoreStatus::refused(std::string("cannot be read: ") + std::strerror(errno));
  return {StoreStatus::Kind::kOk, skipped.text()};
}

StoreStatus LineFileStore::summarize(const RecordFilter& filter, SummaryKey by, std::vector<SummaryGroup>& groups) {
  SummaryTally tally;
  const StoreStatus status = select(filter, [&](const ProductionRecord& r) {
    tally.add(summaryKeyOf(by, r), r.pass);
    return true;
  });
  groups = tally.groups();
  return status;
}

std::string LineFileStore::serialNumbersRefused() const {
  return std::string(format_ == Format::kCsv ? "a CSV" : "a JSON-lines") +
         " log has no shared counter, so two runs could hand out one number twice; "
         "--log a SQLite database (.db) or a PostgreSQL server hands them out";
}

StoreStatus LineFileStore::takeSerial(const SerialClaim&, uint64_t&) {
  return StoreStatus::refused(serialNumbersRefused());
}

StoreStatus LineFileStore::selectSerials(const std::string&, const std::function<bool(const SerialEntry&)>&) {
  return StoreStatus::refused(serialNumbersRefused());
}

}  // namespace lw
