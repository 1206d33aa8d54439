#include "image/kpj_format.h"

#include <algorithm>
#include <cstdlib>

#include "core/byte_sum.h"

namespace lw {

namespace {

// Appends big-endian numbers and byte runs to the record being laid out.
class RecordWriter {
 public:
  explicit RecordWriter(std::vector<uint8_t>& out) : out_(out) {}
  void u8(uint8_t v) { out_[pos_++] = v; }
  void u16(uint16_t v) {
    u8(static_cast<uint8_t>(v >> 8));
    u8(static_cast<uint8_t>(v));
  }
  void u32(uint32_t v) {
    u16(static_cast<uint16_t>(v >> 16));
    u16(static_cast<uint16_t>(v));
  }
  template <typename Bytes>
  void bytes(const Bytes& b) {
    for (const auto c : b) u8(static_cast<uint8_t>(c));
  }
  void skip(std::size_t n) { pos_ += n; }
  std::size_t pos() const { return pos_; }

 private:
  std::vector<uint8_t>& out_;
  std::size_t pos_ = 0;
};

uint16_t be16(std::span<const uint8_t> b, std::size_t at) {
  return static_cast<uint16_t>((b[at] << 8) | b[at + 1]);
}
uint32_t be32(std::span<const uint8_t> b, std::size_t at) {
  return (static_cast<uint32_t>(be16(b, at)) << 16) | be16(b, at + 2);
}

// An option block length the fixed block fields fit in, and that fits the
// record's 176-byte area.
bool usableOptionBlockLength(std::size_t n) { return n >= kMinOptionBlockSize && n <= kOptionBlockSize; }

// Record offsets that follow from the three lengths.
struct Offsets {
  std::size_t nameLength, blockLength, ispLength;
  std::size_t codeSize() const { return 17 + nameLength; }
  std::size_t block() const { return 33 + nameLength; }
  std::size_t afterBlock() const { return block() + blockLength; }
  std::size_t ispName() const { return afterBlock() + 7; }
  std::size_t atpgKey() const { return ispName() + ispLength; }
  std::size_t saveTime() const { return atpgKey() + 2; }
};

Offsets offsetsOf(std::span<const uint8_t> record) {
  Offsets o{record[16], 0, 0};
  o.blockLength = record[32 + o.nameLength];
  o.ispLength = record[o.afterBlock() + 6];
  return o;
}

}  // namespace

SaveStamp drawSaveStamp(ClockPort& clock) {
  SaveStamp stamp;
  stamp.time = clock.localTime();
  std::srand(static_cast<unsigned>(clock.calendarSeconds()));
  stamp.atpgKey = static_cast<uint16_t>(clock.tickCountMs() * static_cast<uint32_t>(std::rand()));
  stamp.randomKey = clock.tickCountMs() * static_cast<uint32_t>(std::rand());
  return stamp;
}

uint32_t projectRecordLength(const ProjectRecord& record) {
  const std::size_t n = usableOptionBlockLength(record.optionBlockLength) ? record.optionBlockLength : kOptionBlockSize;
  return static_cast<uint32_t>(std::min(record.codeFileName.size(), kMaxStoredNameLength) + n +
                               std::min(record.ispCodeName.size(), kMaxStoredNameLength)) +
         kProjectRecordFixedSize;
}

std::vector<uint8_t> writeProjectRecord(ProjectRecord& record, const PartRecord& part, uint32_t codeSize,
                                        uint16_t codeChecksum, const SaveStamp& stamp) {
  // The names are counted by one length byte each.
  if (record.codeFileName.size() > kMaxStoredNameLength) record.codeFileName.resize(kMaxStoredNameLength);
  if (record.ispCodeName.size() > kMaxStoredNameLength) record.ispCodeName.resize(kMaxStoredNameLength);
  if (!usableOptionBlockLength(record.optionBlockLength)) record.optionBlockLength = kOptionBlockSize;

  // Option bytes end where the reserved block begins.
  const std::size_t optionCount = std::min<std::size_t>(part.optionByteCount, kOptionBytesInBlock);
  record.partIndex = part.partIndex;
  std::copy_n(part.optionBytes.begin(), optionCount, record.optionBlock.begin());
  record.codeSize = codeSize;
  record.codeChecksum = codeChecksum;
  record.reservedWord1 = 0;
  record.reservedWord2 = 0;
  record.recordLength = static_cast<uint16_t>(projectRecordLength(record));

  const LocalTime& t = stamp.time;
  record.saveTime = {static_cast<uint8_t>(t.year + 48), static_cast<uint8_t>(t.month), static_cast<uint8_t>(t.day),
                     static_cast<uint8_t>(t.hour), static_cast<uint8_t>(t.minute), static_cast<uint8_t>(t.second)};
  record.atpgKey = stamp.atpgKey;
  record.recordChecksum = 0;
  record.randomKey = stamp.randomKey;
  record.version = kProjectVersion;
  record.formatCode = kProjectFormatCode;

  std::vector<uint8_t> out(record.recordLength, 0xFF);
  RecordWriter w(out);
  w.bytes(record.magic);
  w.u8(static_cast<uint8_t>(record.codeFileName.size()));
  w.bytes(record.codeFileName);
  w.u32(record.codeSize);
  w.u16(record.codeChecksum);
  w.u32(0);
  w.u16(0);
  w.u16(record.partIndex);
  w.u8(0);
  w.u8(record.optionBlockLength);

  const std::size_t block = w.pos();
  std::copy_n(part.optionBytes.begin(), optionCount, out.begin() + static_cast<std::ptrdiff_t>(block));
  std::copy(record.reservedBlock.begin(), record.reservedBlock.end(),
            out.begin() + static_cast<std::ptrdiff_t>(block + kReservedBlockOffset));
  RecordWriter keyWriter(out);
  keyWriter.skip(block + kRandomKeyOffset);
  keyWriter.u32(record.randomKey);
  keyWriter.u8(record.reservedC);
  w.skip(record.optionBlockLength);

  w.u8(record.reservedA);
  w.u8(record.reservedB);
  w.u16(record.reservedWord1);
  w.u16(record.reservedWord2);
  w.u8(static_cast<uint8_t>(record.ispCodeName.size()));
  w.bytes(record.ispCodeName);
  w.u16(record.atpgKey);
  w.bytes(record.saveTime);
  w.u16(record.version);
  w.u16(record.reservedWord);
  w.u8(record.formatCode);
  w.u16(0);  // record checksum, summed as zero
  w.u16(record.recordLength);

  record.recordChecksum = static_cast<uint16_t>(byteSum(out.data(), out.size()));
  out[out.size() - 4] = static_cast<uint8_t>(record.recordChecksum >> 8);
  out[out.size() - 3] = static_cast<uint8_t>(record.recordChecksum);
  return out;
}

std::optional<ProjectRecordLayout> checkProjectFile(std::span<const uint8_t> file) {
  const std::size_t fileSize = file.size();
  if (fileSize < kProjectRecordFixedSize) return std::nullopt;
  const std::size_t length = be16(file, fileSize - 2);
  if (length < kProjectRecordFixedSize || length > fileSize) return std::nullopt;
  const std::span<const uint8_t> record = file.subspan(fileSize - length);

  const uint8_t formatCode = record[length - 5];
  if (formatCode != kProjectFormatCode && formatCode != kProjectFormatCodeOld) return std::nullopt;

  const uint32_t summed = byteSum(record.data(), length - 4) + record[length - 2] + record[length - 1];
  if (static_cast<uint16_t>(summed) != be16(record, length - 4)) return std::nullopt;

  // Each length is looked at only once the bytes before it are known to be
  // inside the record, and the fields they describe must end before the
  // fixed tail of 9 bytes.
  const std::size_t nameLength = record[16];
  if (33 + nameLength > length) return std::nullopt;
  const std::size_t blockLength = record[32 + nameLength];
  if (!usableOptionBlockLength(blockLength)) return std::nullopt;
  if (33 + nameLength + blockLength + 7 > length) return std::nullopt;
  const Offsets o = offsetsOf(record);
  if (o.nameLength + o.blockLength + o.ispLength + kProjectRecordFixedSize > length) return std::nullopt;

  const uint32_t codeSize = be32(record, o.codeSize());
  const std::size_t imageSize = fileSize - length;
  if (codeSize > imageSize) return std::nullopt;
  if (codeChecksum(file.data(), codeSize) != be16(record, o.codeSize() + 4)) return std::nullopt;
  return ProjectRecordLayout{imageSize, length};
}

void readProjectTail(std::span<const uint8_t> file, const ProjectRecordLayout& layout, ProjectRecord& record) {
  const std::span<const uint8_t> r = file.subspan(layout.start, layout.length);
  const std::size_t end = layout.length;
  record.version = be16(r, end - 9);
  record.reservedWord = be16(r, end - 7);
  record.formatCode = r[end - 5];
  record.recordChecksum = be16(r, end - 4);
  record.recordLength = be16(r, end - 2);
  std::copy_n(r.begin(), kProjectMagicSize, record.magic.begin());
}

void readProjectBody(std::span<const uint8_t> file, const ProjectRecordLayout& layout, ProjectRecord& record) {
  const std::span<const uint8_t> r = file.subspan(layout.start, layout.length);
  const Offsets o = offsetsOf(r);
  record.codeFileName.assign(reinterpret_cast<const char*>(&r[17]), o.nameLength);
  record.codeSize = be32(r, o.codeSize());
  record.codeChecksum = be16(r, o.codeSize() + 4);
  record.reserved32 = be32(r, o.codeSize() + 6);
  record.reserved16 = be16(r, o.codeSize() + 10);
  record.partIndex = be16(r, o.codeSize() + 12);
  record.reservedByte = r[o.codeSize() + 14];
  record.optionBlockLength = static_cast<uint8_t>(o.blockLength);

  const std::span<const uint8_t> block = r.subspan(o.block(), o.blockLength);
  std::copy_n(block.begin() + kReservedBlockOffset, kReservedBlockSize, record.reservedBlock.begin());
  record.randomKey = be32(block, kRandomKeyOffset);
  record.reservedC = block[kReservedByteCOffset];
  std::copy(block.begin(), block.end(), record.optionBlock.begin());

  const std::size_t p = o.afterBlock();
  record.reservedA = r[p];
  record.reservedB = r[p + 1];
  record.reservedWord1 = be16(r, p + 2);
  record.reservedWord2 = be16(r, p + 4);
  record.ispCodeName.assign(reinterpret_cast<const char*>(&r[o.ispName()]), o.ispLength);
  record.atpgKey = be16(r, o.atpgKey());
  std::copy_n(r.begin() + static_cast<std::ptrdiff_t>(o.saveTime()), record.saveTime.size(), record.saveTime.begin());
}

}  // namespace lw
