#include "tether/wire/adapter_protocol.h"

#include <algorithm>

namespace lw::wire {
namespace {

// Offsets shared by requests and feature answers.
constexpr std::size_t kMarkerAt = 1;
constexpr std::size_t kKindAt = 2;
constexpr std::size_t kTagAt = 3;
constexpr std::size_t kCheckAt = 127;
constexpr std::size_t kCheckedEnd = 127;  // bytes 1..126 are summed

void putU16(std::span<uint8_t> r, std::size_t at, uint16_t v) {
  r[at] = static_cast<uint8_t>(v);
  r[at + 1] = static_cast<uint8_t>(v >> 8);
}

void putU32(std::span<uint8_t> r, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) r[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint16_t getU16(std::span<const uint8_t> r, std::size_t at) {
  return static_cast<uint16_t>(r[at] | (r[at + 1] << 8));
}

uint32_t getU32(std::span<const uint8_t> r, std::size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | r[at + i];
  return v;
}

// Starts a feature answer or request: zero, marker, kind, tag.
void begin(std::span<uint8_t> r, uint8_t kind, uint8_t tag) {
  std::fill(r.begin(), r.end(), 0);
  r[kMarkerAt] = kRequestMarker;
  r[kKindAt] = kind;
  r[kTagAt] = tag;
}

void seal(std::span<uint8_t> r) { putU16(r, kCheckAt, reportCheck(r)); }

// A feature report of ours: long enough, right marker and kind, check right.
bool wellFormed(std::span<const uint8_t> r, uint8_t kind) {
  return r.size() >= kRequestLength && r[0] == 0 && r[kMarkerAt] == kRequestMarker && r[kKindAt] == kind &&
         getU16(r, kCheckAt) == reportCheck(r);
}

}  // namespace

uint16_t reportCheck(std::span<const uint8_t> report) {
  uint32_t sum = 0;
  const std::size_t end = std::min(report.size(), kCheckedEnd);
  for (std::size_t i = 1; i < end; ++i) sum += report[i];
  return static_cast<uint16_t>(sum);
}

bool encodeRequest(const Request& q, std::span<uint8_t> r) {
  if (r.size() < kRequestLength) return false;
  begin(r, static_cast<uint8_t>(q.kind), q.tag);
  r[4] = q.command;
  r[5] = q.flag;
  putU32(r, 8, q.address);
  putU32(r, 12, q.byteCount);
  std::copy(q.params.begin(), q.params.end(), r.begin() + 16);
  seal(r);
  return true;
}

std::optional<Request> decodeRequest(std::span<const uint8_t> r) {
  if (r.size() < kRequestLength || r[0] != 0 || r[kMarkerAt] != kRequestMarker) return std::nullopt;
  const uint8_t kind = r[kKindAt];
  if (kind < static_cast<uint8_t>(RequestKind::kCommand) || kind > static_cast<uint8_t>(RequestKind::kIdentify))
    return std::nullopt;
  if (!wellFormed(r, kind)) return std::nullopt;
  Request q;
  q.kind = static_cast<RequestKind>(kind);
  q.tag = r[kTagAt];
  q.command = r[4];
  q.flag = r[5];
  q.address = getU32(r, 8);
  q.byteCount = getU32(r, 12);
  std::copy(r.begin() + 16, r.begin() + 16 + kRequestParamCount, q.params.begin());
  return q;
}

void encodeAnswer(const Answer& a, std::span<uint8_t> r) {
  std::fill(r.begin(), r.end(), 0);
  if (r.size() < 7) return;
  r[1] = a.tag;
  r[2] = a.command;
  putU16(r, 3, a.status);
  putU16(r, 5, a.millivolts);
}

std::optional<Answer> decodeAnswer(std::span<const uint8_t> b) {
  if (b.size() < 6) return std::nullopt;
  Answer a;
  a.tag = b[0];
  a.command = b[1];
  a.status = getU16(b, 2);
  a.millivolts = getU16(b, 4);
  return a;
}

void encodeIdentifyAnswer(const IdentifyAnswer& a, std::span<uint8_t> r) {
  if (r.size() < kRequestLength) return;
  begin(r, kIdentifyAnswerKind, a.tag);
  r[4] = a.firmwareMajor;
  r[5] = a.firmwareMinor;
  r[6] = a.storage;
  r[7] = a.targetConnected;
  putU16(r, 8, a.millivolts);
  putU32(r, 10, a.storageCapacity);
  std::copy(a.model.begin(), a.model.end(), r.begin() + 14);
  seal(r);
}

std::optional<IdentifyAnswer> decodeIdentifyAnswer(std::span<const uint8_t> r) {
  if (!wellFormed(r, kIdentifyAnswerKind)) return std::nullopt;
  IdentifyAnswer a;
  a.tag = r[kTagAt];
  a.firmwareMajor = r[4];
  a.firmwareMinor = r[5];
  a.storage = r[6];
  a.targetConnected = r[7];
  a.millivolts = getU16(r, 8);
  a.storageCapacity = getU32(r, 10);
  std::copy(r.begin() + 14, r.begin() + 14 + kModelNameSize, a.model.begin());
  return a;
}

void encodeReadAnswer(const ReadAnswer& a, std::span<uint8_t> r) {
  if (r.size() < kRequestLength) return;
  begin(r, kReadAnswerKind, a.tag);
  putU16(r, 4, a.status);
  putU32(r, 6, a.offset);
  const uint16_t length = std::min<uint16_t>(a.length, kReadChunkSize);
  putU16(r, 10, length);
  std::copy(a.data.begin(), a.data.begin() + length, r.begin() + 12);
  seal(r);
}

std::optional<ReadAnswer> decodeReadAnswer(std::span<const uint8_t> r) {
  if (!wellFormed(r, kReadAnswerKind)) return std::nullopt;
  ReadAnswer a;
  a.tag = r[kTagAt];
  a.status = getU16(r, 4);
  a.offset = getU32(r, 6);
  a.length = getU16(r, 10);
  if (a.length > kReadChunkSize) return std::nullopt;
  std::copy(r.begin() + 12, r.begin() + 12 + a.length, a.data.begin());
  return a;
}

void encodeIdleAnswer(std::span<uint8_t> r) {
  if (r.size() < kRequestLength) return;
  begin(r, kIdleAnswerKind, 0);
  seal(r);
}

}  // namespace lw::wire
