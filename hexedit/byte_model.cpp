#include "hexedit/byte_model.h"

#include <algorithm>
#include <cstring>

namespace lw::hexedit {

void ByteModel::replace(const uint8_t* bytes, std::size_t count) {
  if (!bytes) count = 0;
  bytes_.assign(bytes, bytes + count);
  sum_ = 0;
  for (uint8_t b : bytes_) sum_ += b;
  ++generation_;
  changed();
}

void ByteModel::clear() {
  ++generation_;
  bytes_.clear();
  bytes_.shrink_to_fit();
  sum_ = 0;
}

std::size_t ByteModel::copyOut(uint8_t* destination, std::size_t count) const {
  if (!destination) return 0;
  const std::size_t n = std::min(count, bytes_.size());
  if (n > 0) std::memcpy(destination, bytes_.data(), n);
  return n;
}

std::vector<uint8_t> ByteModel::range(std::size_t offset, std::size_t count) const {
  if (offset >= bytes_.size()) return {};
  const std::size_t n = std::min(count, bytes_.size() - offset);
  return {bytes_.begin() + static_cast<std::ptrdiff_t>(offset),
          bytes_.begin() + static_cast<std::ptrdiff_t>(offset + n)};
}

bool ByteModel::writable(std::size_t offset) const {
  if (offset < bytes_.size()) return true;
  return offset == bytes_.size() && (sizeLimit_ == 0 || offset < sizeLimit_);
}

bool ByteModel::writeByte(std::size_t offset, uint8_t value) {
  if (!writable(offset)) return false;
  if (offset == bytes_.size()) {
    bytes_.push_back(value);
  } else {
    sum_ -= bytes_[offset];
    bytes_[offset] = value;
  }
  sum_ += value;
  changed();
  return true;
}

bool ByteModel::writeNibble(std::size_t offset, bool highNibble, uint8_t nibble) {
  if (!writable(offset)) return false;
  const uint8_t old = offset < bytes_.size() ? bytes_[offset] : 0xFF;
  nibble &= 0x0F;
  const uint8_t value = highNibble ? static_cast<uint8_t>((old & 0x0F) | (nibble << 4))
                                   : static_cast<uint8_t>((old & 0xF0) | nibble);
  return writeByte(offset, value);
}

std::size_t ByteModel::writeBytes(std::size_t offset, const std::vector<uint8_t>& bytes) {
  if (offset > bytes_.size()) return 0;
  // Content loaded beyond the limit stays; growing stops at the limit.
  std::size_t n = bytes.size();
  if (sizeLimit_ != 0) n = std::min(n, std::max(sizeLimit_, bytes_.size()) - offset);
  if (n == 0) return 0;
  if (offset + n > bytes_.size()) {
    sum_ += 0xFFull * (offset + n - bytes_.size());  // the new bytes, before they are overwritten
    bytes_.resize(offset + n, 0xFF);
  }
  for (std::size_t i = 0; i < n; ++i) {
    sum_ -= bytes_[offset + i];
    bytes_[offset + i] = bytes[i];
    sum_ += bytes[i];
  }
  changed();
  return n;
}

void ByteModel::truncate(std::size_t size) {
  if (size >= bytes_.size()) return;
  for (std::size_t i = size; i < bytes_.size(); ++i) sum_ -= bytes_[i];
  bytes_.resize(size);
  changed();
}

void ByteModel::changed() {
  if (listener_) listener_();
}

std::string hexText(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) out += ' ';
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0x0F];
  }
  return out;
}

std::string asciiText(const std::vector<uint8_t>& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (uint8_t b : bytes) out += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '.';
  return out;
}

}  // namespace lw::hexedit
