#pragma once
// The bytes the hex view holds, kept apart from any drawing. Every edit
// keeps a running byte sum, so the checksum costs nothing however large the
// content, and tells its listener that the content changed.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lw::hexedit {

class ByteModel {
 public:
  using Listener = std::function<void()>;

  // Called after every change made through replace() or an edit.
  void setChangeListener(Listener listener) { listener_ = std::move(listener); }

  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  uint8_t at(std::size_t offset) const { return bytes_[offset]; }
  const uint8_t* data() const { return bytes_.data(); }

  // Replaces the whole content with a copy of the bytes.
  void replace(const uint8_t* bytes, std::size_t count);
  // Empties the content without telling the listener (a programmatic reset).
  void clear();
  // Copies up to count bytes from the start; returns how many were copied.
  std::size_t copyOut(uint8_t* destination, std::size_t count) const;
  // A copy of count bytes from offset, cut at the end of the content.
  std::vector<uint8_t> range(std::size_t offset, std::size_t count) const;

  // The content may grow by typing at its end, up to this many bytes
  // (0: no limit). Content loaded with replace() is never cut.
  void setSizeLimit(std::size_t limit) { sizeLimit_ = limit; }
  std::size_t sizeLimit() const { return sizeLimit_; }
  // Whether offset can be written: inside the content, or the first byte
  // after it while the size limit allows growing.
  bool writable(std::size_t offset) const;

  // Overwrites one byte; at offset size() the byte is appended. Returns
  // false (and changes nothing) when the offset is not writable.
  bool writeByte(std::size_t offset, uint8_t value);
  // Overwrites the high or low half of one byte; an appended byte starts
  // as 0xFF, like erased flash.
  bool writeNibble(std::size_t offset, bool highNibble, uint8_t nibble);

  // Overwrites bytes from offset on, growing the content at its end as
  // far as the size limit allows (offset at most size()). Returns how many
  // were written; the listener hears of it once.
  std::size_t writeBytes(std::size_t offset, const std::vector<uint8_t>& bytes);
  // Cuts the content to size bytes (undoing growth); nothing when shorter.
  void truncate(std::size_t size);

  // Counts whole replacements and clears: an edit history made before one
  // no longer applies.
  uint64_t generation() const { return generation_; }

  // The low 16 bits of the sum of all bytes.
  uint16_t checksum() const { return static_cast<uint16_t>(sum_); }

 private:
  void changed();

  uint64_t generation_ = 0;
  std::vector<uint8_t> bytes_;
  uint64_t sum_ = 0;
  std::size_t sizeLimit_ = 0;
  Listener listener_;
};

// "0A 1B FF": bytes as upper-case hexadecimal pairs separated by spaces.
std::string hexText(const std::vector<uint8_t>& bytes);
// Printable ASCII as it is, everything else as '.'.
std::string asciiText(const std::vector<uint8_t>& bytes);

}  // namespace lw::hexedit
