#pragma once
// The production log as a text file: CSV with a header line, or JSON lines.
// Appends go through locked_append (whole lines, several processes at
// once); questions are answered by reading the file through. A text file
// has no shared counter, so it hands out no serial numbers.
#include <string>

#include "core/ports/production_store_port.h"

namespace lw {

class LineFileStore final : public ProductionStorePort {
 public:
  enum class Format { kCsv, kJsonLines };
  enum class Use { kAppend, kRead };  // kRead: the file must be there already
  LineFileStore(std::string path, Format format, Use use);

  StoreStatus open() override;
  StoreStatus add(const std::vector<ProductionRecord>& rows, Delivery delivery) override;
  StoreStatus select(const RecordFilter& filter, const std::function<bool(const ProductionRecord&)>& each) override;
  StoreStatus summarize(const RecordFilter& filter, SummaryKey by, std::vector<SummaryGroup>& groups) override;
  std::string serialNumbersRefused() const override;
  StoreStatus takeSerial(const SerialClaim& claim, uint64_t& number) override;
  StoreStatus selectSerials(const std::string& pool, const std::function<bool(const SerialEntry&)>& each) override;

 private:
  std::string compose(int fd, long size, const std::vector<ProductionRecord>& rows, Delivery delivery,
                      std::string* why) const;
  std::string path_;
  Format format_;
  Use use_;
};

}  // namespace lw
