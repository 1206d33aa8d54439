// Fuzzes the adapter's answers on both sides: the input report as the
// program reads it, and the requests and feature answers as the Link
// library and the adapter decode them. Every decoded report must encode
// back to a report that decodes to the same values. The first byte picks
// whether the report is sealed first (marker, kind and check made right),
// so that mutations reach the fields behind the check.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/adapter_answer.h"
#include "tether/wire/adapter_protocol.h"

namespace {

namespace wire = lw::wire;

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "adapter report invariant broken: %s\n", what);
  std::abort();
}

void seal(std::vector<uint8_t>& r, uint8_t kind) {
  r[0] = 0;
  r[1] = wire::kRequestMarker;
  r[2] = kind;
  const uint16_t check = wire::reportCheck(r);
  r[127] = static_cast<uint8_t>(check);
  r[128] = static_cast<uint8_t>(check >> 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  std::vector<uint8_t> report(data + 1, data + size);

  lw::AnswerBuffer buffer{};
  std::copy_n(report.begin(), std::min(report.size(), buffer.size()), buffer.begin());
  const lw::AnswerReport program = lw::parseAnswer(buffer);
  if (const auto answer = wire::decodeAnswer(report)) {
    require(answer->tag == program.tag && answer->status == program.status &&
                answer->millivolts == program.millivolts,
            "the program and the adapter read an answer alike");
    std::array<uint8_t, wire::kInputLength> encoded{};
    wire::encodeAnswer(*answer, encoded);
    const auto back = wire::decodeAnswer(std::span<const uint8_t>(encoded).subspan(1));
    require(back && back->tag == answer->tag && back->status == answer->status && back->millivolts == answer->millivolts,
            "an answer encodes back to itself");
  }

  if (mode & 0x80) {
    if (report.size() < wire::kRequestLength) report.resize(wire::kRequestLength);
    const uint8_t kinds[] = {0x01, 0x02, 0x03, 0x04, wire::kIdleAnswerKind, wire::kReadAnswerKind,
                             wire::kIdentifyAnswerKind};
    seal(report, kinds[mode % std::size(kinds)]);
  }
  std::vector<uint8_t> encoded(wire::kRequestLength);
  if (const auto request = wire::decodeRequest(report)) {
    require(wire::encodeRequest(*request, encoded), "a request fits its report");
    const auto back = wire::decodeRequest(encoded);
    require(back && back->kind == request->kind && back->tag == request->tag && back->command == request->command &&
                back->address == request->address && back->byteCount == request->byteCount &&
                back->params == request->params,
            "a request encodes back to itself");
  }
  if (const auto identify = wire::decodeIdentifyAnswer(report)) {
    wire::encodeIdentifyAnswer(*identify, encoded);
    const auto back = wire::decodeIdentifyAnswer(encoded);
    require(back && back->model == identify->model && back->storageCapacity == identify->storageCapacity,
            "an identify answer encodes back to itself");
  }
  if (const auto read = wire::decodeReadAnswer(report)) {
    require(read->length <= wire::kReadChunkSize, "a read answer carries at most one chunk");
    wire::encodeReadAnswer(*read, encoded);
    const auto back = wire::decodeReadAnswer(encoded);
    require(back && back->length == read->length && back->offset == read->offset && back->data == read->data,
            "a read answer encodes back to itself");
  }
  return 0;
}
