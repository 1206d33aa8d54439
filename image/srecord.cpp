#include "image/srecord.h"

#include <array>
#include <optional>

namespace lw {

namespace {

// The longest record: a byte count of 255 and the count byte itself.
constexpr std::size_t kMaxRecordBytes = 256;

struct Record {
  int type = 0;
  uint32_t address = 0;
  const uint8_t* data = nullptr;
  std::size_t dataCount = 0;
};

// The value of each character as a hexadecimal digit, -1 for the rest.
constexpr std::array<int8_t, 256> kDigitValues = [] {
  std::array<int8_t, 256> values{};
  values.fill(-1);
  for (int i = 0; i < 10; ++i) values['0' + i] = static_cast<int8_t>(i);
  for (int i = 0; i < 6; ++i) values['A' + i] = values['a' + i] = static_cast<int8_t>(10 + i);
  return values;
}();

int hexDigit(char c) { return kDigitValues[static_cast<unsigned char>(c)]; }

// Bytes of the address field of each record type; 0 for the reserved S4.
constexpr std::array<std::size_t, 10> kAddressBytes{2, 2, 3, 4, 0, 2, 3, 4, 3, 2};

// Decodes one line that starts with 'S'; nothing when it is damaged.
std::optional<Record> decodeRecord(std::string_view line, std::array<uint8_t, kMaxRecordBytes>& bytes) {
  if (line.size() < 4 || line[1] < '0' || line[1] > '9') return std::nullopt;
  Record rec;
  rec.type = line[1] - '0';
  const std::size_t addressBytes = kAddressBytes[static_cast<std::size_t>(rec.type)];
  const std::string_view digits = line.substr(2);
  if (addressBytes == 0 || digits.size() % 2 != 0 || digits.size() / 2 > bytes.size()) return std::nullopt;
  const std::size_t n = digits.size() / 2;
  unsigned sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const int hi = hexDigit(digits[2 * i]);
    const int lo = hexDigit(digits[2 * i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes[i] = static_cast<uint8_t>(hi << 4 | lo);
    sum += bytes[i];
  }
  // The count names every byte after itself: address, data and checksum.
  if (bytes[0] != n - 1 || n < addressBytes + 2 || (sum & 0xFF) != 0xFF) return std::nullopt;
  for (std::size_t i = 0; i < addressBytes; ++i) rec.address = rec.address << 8 | bytes[1 + i];
  rec.data = &bytes[1 + addressBytes];
  rec.dataCount = n - addressBytes - 2;
  return rec;
}

bool isDataType(int type) { return type >= 1 && type <= 3; }

// The line without the blanks and tabs an editor may leave at its end.
std::string_view withoutTrailingBlanks(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line;
}

// Walks the text line by line, counting lines as an editor does (CR LF is
// one break, so is a lone CR or LF).
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  // The next line, or nothing at the end of the text.
  std::optional<std::string_view> next() {
    if (pos_ >= text_.size()) return std::nullopt;
    std::size_t end = pos_;
    while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
    const std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    ++number_;
    return withoutTrailingBlanks(line);
  }
  std::size_t number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t number_ = 0;
};

// Whether a data record with at least one byte follows (the question is only
// whether data would be lost, so a damaged one counts too).
bool dataFollows(Lines lines) {
  while (const auto line = lines.next()) {
    if (line->size() >= 2 && (*line)[0] == 'S' && (*line)[1] >= '1' && (*line)[1] <= '3') return true;
  }
  return false;
}

}  // namespace

ParsedImage parseSRecord(std::string_view text, uint64_t capacity) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  ParsedImage image;
  std::array<uint8_t, kMaxRecordBytes> bytes{};
  uint32_t dataRecords = 0;
  Lines lines(text);
  while (const auto line = lines.next()) {
    if (line->empty() || (*line)[0] != 'S') continue;
    const std::optional<Record> rec = decodeRecord(*line, bytes);
    const bool countWrong = rec && (rec->type == 5 || rec->type == 6) &&
                            (rec->dataCount != 0 || rec->address != (dataRecords & (rec->type == 5 ? 0xFFFFu : 0xFFFFFFu)));
    if (!rec || countWrong) {
      image.dataLeftUnread = true;
      image.stopLine = lines.number();
      break;
    }
    if (isDataType(rec->type)) {
      ++dataRecords;
      if (rec->dataCount > 0) placeBytes(image, codeOffsetOf(rec->address), rec->data, rec->dataCount, capacity);
    } else if (rec->type >= 7) {
      if (dataFollows(lines)) {
        image.dataLeftUnread = true;
        image.stopLine = lines.number();
      }
      break;
    }
  }
  finishImage(image, capacity);
  return image;
}

}  // namespace lw
