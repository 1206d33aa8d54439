// Fuzzes the update check's HTTP response reader with what a server may
// send. The first byte picks where the bytes are cut into two deliveries
// and whether the connection then closes; the reader must end the same
// whether the bytes come in two deliveries or one by one (long inputs in
// small pieces on most inputs), never keep more body than
// its cap, and never hold a head past its bounds without failing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tests/fuzz/fuzz_sample.h"
#include "update/http_response_reader.h"

namespace {

constexpr std::size_t kCap = 512;

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "HTTP response reader invariant broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool close = (data[0] & 0x80) != 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t cut = bytes.empty() ? 0 : (data[0] & 0x7F) % (bytes.size() + 1);

  lw::HttpResponseReader inTwo(kCap);
  inTwo.feed(bytes.substr(0, cut));
  inTwo.feed(bytes.substr(cut));
  // One byte at a time costs a call per byte: long inputs (the line and
  // head bounds) take that way on one input in 8, else in pieces of 61.
  const std::size_t piece = bytes.size() <= 1024 || lw::fuzz::sampled(data, size, 8) ? 1 : 61;
  lw::HttpResponseReader piecewise(kCap);
  for (std::size_t at = 0; at < bytes.size(); at += piece) piecewise.feed(bytes.substr(at, piece));
  if (close) {
    inTwo.endOfStream();
    piecewise.endOfStream();
  }

  require(inTwo.state() == piecewise.state(), "the same bytes end in the same state however they arrive");
  require(inTwo.body() == piecewise.body() && inTwo.status() == piecewise.status(), "and with the same answer");
  require(inTwo.body().size() <= kCap, "the body stays within its cap");
  require(!inTwo.done() || inTwo.status() >= 200, "a complete response has a final status");
  if (inTwo.state() == lw::HttpResponseReader::State::Head)
    require(bytes.size() <= lw::kHttpMaxHeadBytes, "a head still being read stays within its bound");
  if (close) require(inTwo.done() || inTwo.failed(), "a closed connection leaves no response half read");
  return 0;
}
