#include "image/intel_hex.h"

#include <algorithm>
#include <array>
#include <string>

namespace lw {

namespace {

enum RecordType : uint8_t { kData = 0x00, kSegmentAddress = 0x02, kLinearAddress = 0x04 };

uint8_t digitValue(char c) {
  const auto u = static_cast<unsigned char>(c);
  return static_cast<uint8_t>((u & 0x0F) + ((u & 0x40) ? 9 : 0));
}

// Decodes the digits after ':' into bytes and adds them up. False when the
// line cannot be a record the parser handles: an odd digit count or more
// than 260 bytes.
bool decodeRecord(std::string_view digits, std::array<uint8_t, kMaxHexRecordBytes>& out, std::size_t& count,
                  unsigned& sum) {
  if (digits.size() % 2 != 0 || digits.size() / 2 > out.size()) return false;
  count = digits.size() / 2;
  sum = 0;
  for (std::size_t i = 0; i < count; ++i) {
    out[i] = static_cast<uint8_t>((digitValue(digits[2 * i]) << 4) | digitValue(digits[2 * i + 1]));
    sum += out[i];
  }
  return true;
}

// The ASCII carried by text that starts with a UTF-16 byte-order mark;
// units outside ASCII become '?'. Empty when there is no such mark.
std::string narrowUtf16(std::string_view text) {
  std::string out;
  if (text.size() < 2) return out;
  const auto b0 = static_cast<unsigned char>(text[0]);
  const auto b1 = static_cast<unsigned char>(text[1]);
  const bool little = b0 == 0xFF && b1 == 0xFE;
  if (!little && !(b0 == 0xFE && b1 == 0xFF)) return out;
  out.reserve(text.size() / 2);
  for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(text[little ? i : i + 1]);
    const auto hi = static_cast<unsigned char>(text[little ? i + 1 : i]);
    out += hi == 0 && lo < 0x80 ? static_cast<char>(lo) : '?';
  }
  return out;
}

// A line without the blanks and tabs an editor may leave at its end.
std::string_view withoutTrailingBlanks(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line;
}

// Whether a line holds a data record with at least one byte (its checksum
// is not looked at: the question is only whether data would be lost).
bool holdsData(std::string_view line) {
  std::array<uint8_t, kMaxHexRecordBytes> rec{};
  std::size_t n = 0;
  unsigned sum = 0;
  return line.size() >= 2 && line[0] == ':' && decodeRecord(line.substr(1), rec, n, sum) && n >= 5 && rec[3] == kData &&
         rec[0] > 0;
}

// Where the line from pos ends (its CR or LF, else the end of the text),
// and where the next one starts. A plain scan: find_first_of with a set of
// two characters asks memchr about the set once per character.
std::size_t lineEndFrom(std::string_view text, std::size_t pos) {
  while (pos < text.size() && text[pos] != '\r' && text[pos] != '\n') ++pos;
  return pos;
}

std::size_t nextLineFrom(std::string_view text, std::size_t pos) {
  while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n')) ++pos;
  return pos;
}

// The 1-based number of the line that starts at pos.
std::size_t lineNumberAt(std::string_view text, std::size_t pos) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < pos; ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
  }
  return line;
}

}  // namespace

HexImage parseIntelHex(std::string_view input, uint64_t capacity) {
  const std::string narrowed = narrowUtf16(input);
  std::string_view text = narrowed.empty() ? input : std::string_view(narrowed);
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::string_view whole = text;
  const std::size_t nul = text.find('\0');
  text = text.substr(0, nul);
  HexImage image;
  uint64_t base = 0;
  std::array<uint8_t, kMaxHexRecordBytes> rec{};

  std::size_t pos = 0;
  // The line where parsing ended early (a damaged record, or an end or
  // start-address record), and where data may still follow.
  std::size_t stopLineStart = std::string_view::npos;
  std::size_t unreadFrom = 0;
  bool damaged = false;
  while (pos < text.size()) {
    const std::size_t lineStart = pos;
    const std::size_t lineEnd = lineEndFrom(text, pos);
    const std::string_view line = withoutTrailingBlanks(text.substr(pos, lineEnd - pos));
    pos = nextLineFrom(text, lineEnd);

    if (line.size() < 2 || line[0] != ':') continue;
    std::size_t n = 0;
    unsigned sum = 0;
    bool readable = decodeRecord(line.substr(1), rec, n, sum);
    // A checksum that does not add up, or data that would run past the line.
    readable = readable && (sum & 0xFF) == 0 && n >= static_cast<std::size_t>(rec[0]) + 5;
    if (!readable) {
      stopLineStart = unreadFrom = lineStart;
      damaged = true;
      break;
    }
    const std::size_t count = rec[0];

    const uint32_t address = (static_cast<uint32_t>(rec[1]) << 8) | rec[2];
    const uint8_t type = rec[3];
    const uint8_t* data = &rec[4];
    if (type == kData) {
      placeBytes(image, base + address, data, count, capacity);
    } else if (type == kSegmentAddress || type == kLinearAddress) {
      if (count != 2 || address != 0) continue;
      const uint32_t high = data[0] == 0x08 ? 0 : data[0];
      const uint64_t value = (high << 8) | data[1];
      base = type == kSegmentAddress ? value * 16 : value * 65536;
    } else {
      stopLineStart = lineStart;
      unreadFrom = pos;
      break;
    }
  }
  if (stopLineStart == std::string_view::npos && nul != std::string_view::npos) {
    // The text ended at a NUL; records may lie beyond it.
    stopLineStart = whole.find_last_of("\r\n", nul);
    stopLineStart = stopLineStart == std::string_view::npos ? 0 : stopLineStart + 1;
    unreadFrom = nul + 1;
  }
  if (stopLineStart != std::string_view::npos) {
    bool dataAfter = damaged;
    for (std::size_t at = unreadFrom; !dataAfter && at < whole.size();) {
      const std::size_t end = lineEndFrom(whole, at);
      dataAfter = holdsData(withoutTrailingBlanks(whole.substr(at, end - at)));
      at = nextLineFrom(whole, end);
    }
    if (dataAfter) {
      image.dataLeftUnread = true;
      image.stopLine = lineNumberAt(whole, stopLineStart);
    }
  }
  finishImage(image, capacity);
  return image;
}

}  // namespace lw
