// Fuzzes the update check's HTTP response reader with what a server may
// send. The first byte picks where the bytes are cut into two deliveries
// and whether the connection then closes; the reader must end the same
// whether the bytes come at once or one by one, never keep more body than
// its cap, and never hold a head past its bounds without failing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

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
  lw::HttpResponseReader bytewise(kCap);
  for (const char c : bytes) bytewise.feed(std::string_view(&c, 1));
  if (close) {
    inTwo.endOfStream();
    bytewise.endOfStream();
  }

  require(inTwo.state() == bytewise.state(), "the same bytes end in the same state however they arrive");
  require(inTwo.body() == bytewise.body() && inTwo.status() == bytewise.status(), "and with the same answer");
  require(inTwo.body().size() <= kCap, "the body stays within its cap");
  require(!inTwo.done() || inTwo.status() >= 200, "a complete response has a final status");
  if (inTwo.state() == lw::HttpResponseReader::State::Head)
    require(bytes.size() <= lw::kHttpMaxHeadBytes, "a head still being read stays within its bound");
  if (close) require(inTwo.done() || inTwo.failed(), "a closed connection leaves no response half read");
  return 0;
}
