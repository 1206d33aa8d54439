// The HTTP response reader: how a body is delimited, and how a response that
// would make the reader grow without end, or cannot be trusted, fails.
#include <gtest/gtest.h>

#include <string>

#include "update/http_response_reader.h"

namespace lw {
namespace {

// Feeds the text one byte at a time, as a slow server would send it.
HttpResponseReader readBytewise(const std::string& text, std::size_t cap = 1000, bool close = false) {
  HttpResponseReader reader(cap);
  for (const char c : text) reader.feed(std::string_view(&c, 1));
  if (close) reader.endOfStream();
  return reader;
}

TEST(HttpResponseReader, BodiesByLengthChunksOrConnectionEnd) {
  const HttpResponseReader length = readBytewise("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello, and more");
  EXPECT_TRUE(length.done());
  EXPECT_EQ(length.status(), 200);
  EXPECT_EQ(length.body(), "hello");

  const HttpResponseReader chunked = readBytewise(
      "HTTP/1.1 100 Continue\r\n\r\n"
      "HTTP/1.1 404 Not Found\r\nTransfer-Encoding: gzip, Chunked\r\n\r\n"
      "5;ext=1\r\n[Ver]\r\nA\r\nsion=1.4\r\n\r\n0\r\nX-Trailer: 1\r\n\r\n");
  EXPECT_TRUE(chunked.done());
  EXPECT_EQ(chunked.status(), 404) << "the interim answer is read past";
  EXPECT_EQ(chunked.body(), "[Ver]sion=1.4\r\n");

  const HttpResponseReader untilClose = readBytewise("HTTP/1.0 302 Found\nLocation:  /x.ini \n\nbody", 1000, true);
  EXPECT_TRUE(untilClose.done());
  EXPECT_EQ(untilClose.location(), "/x.ini");
  EXPECT_EQ(untilClose.body(), "body");

  // The cap ends the response; nothing more is wanted.
  EXPECT_EQ(readBytewise("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789", 4).body(), "0123");
  EXPECT_TRUE(readBytewise("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789", 4).done());
  EXPECT_TRUE(readBytewise("HTTP/1.1 204 No Content\r\n\r\n").done());
}

TEST(HttpResponseReader, UnboundedOrBrokenResponsesFail) {
  const std::string ok = "HTTP/1.1 200 OK\r\n";
  const std::string failing[] = {
      ok + "X-Endless: " + std::string(kHttpMaxLineBytes, 'x'),
      ok + [] {
        std::string many;
        for (std::size_t i = 0; i <= kHttpMaxFields; ++i) many += "X-" + std::to_string(i) + ": 1\r\n";
        return many;
      }(),
      "ICY 200 OK\r\n\r\n",
      "HTTP/1.1 2000 OK\r\n\r\n",
      ok + "Content-Length: -1\r\n\r\n",
      ok + "Content-Length: 5\r\nContent-Length: 6\r\n\r\n",
      ok + "Content-Length: 99999999999999999999999\r\n\r\n",
      ok + " folded\r\n\r\n",
      ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\n",
      ok + "Transfer-Encoding: chunked\r\n\r\n2\r\nabc\r\n",
      "HTTP/1.1 101 Switching Protocols\r\n\r\n",
  };
  for (const std::string& text : failing) {
    SCOPED_TRACE(text.substr(0, 60));
    EXPECT_TRUE(readBytewise(text).failed()) << "state " << static_cast<int>(readBytewise(text).state());
  }
  // Ended by the peer too early.
  EXPECT_TRUE(readBytewise(ok + "Content-Length: 9\r\n\r\nshort", 1000, true).failed());
  EXPECT_TRUE(readBytewise(ok + "Content-Type: text/plain\r\n", 1000, true).failed());
  // A head that grows slowly within its bounds keeps waiting.
  EXPECT_EQ(readBytewise(ok + "X-Slow: 1\r\nX-Slower: 2\r\n").state(), HttpResponseReader::State::Head);
}

}  // namespace
}  // namespace lw
