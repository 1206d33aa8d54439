#pragma once
// Reads one HTTP/1.x response as its bytes arrive from the network: the
// status line, the header fields and the body, delimited by Content-Length,
// by the chunked transfer coding, or by the end of the connection. Every
// part is bounded: a line, the whole head and the number of fields, so a
// server that never ends its head cannot make the reader grow without end;
// the body is kept up to a cap and the response counts as complete there.
// Interim 1xx responses are read past.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lw {

inline constexpr std::size_t kHttpMaxLineBytes = 8 * 1024;
inline constexpr std::size_t kHttpMaxHeadBytes = 64 * 1024;
inline constexpr std::size_t kHttpMaxFields = 100;

class HttpResponseReader {
 public:
  enum class State { Head, Body, Done, Failed };

  explicit HttpResponseReader(std::size_t bodyCap) : bodyCap_(bodyCap) {}

  // Takes the next bytes; bytes after the end of the response are ignored.
  State feed(std::string_view bytes);
  // The peer closed the connection: a body that runs to the end is complete
  // then; a head or a delimited body that is not finished fails.
  State endOfStream();

  State state() const { return state_; }
  bool done() const { return state_ == State::Done; }
  bool failed() const { return state_ == State::Failed; }
  int status() const { return status_; }
  // The Location field, empty when there is none.
  const std::string& location() const { return location_; }
  const std::string& body() const { return body_; }
  // Why the response failed, in a few words.
  const std::string& failure() const { return failure_; }

 private:
  enum class Framing { Length, Chunked, UntilClose };
  enum class ChunkStep { Size, Data, DataEnd, Trailer };

  void fail(const char* why);
  // Head: collects one line at a time.
  void headByte(char c);
  void headLine(std::string_view line);
  void statusLine(std::string_view line);
  void field(std::string_view line);
  void headEnded();
  // Body: takes what it can of the bytes, returns how many it used.
  std::size_t bodyBytes(std::string_view bytes);
  std::size_t chunkedBytes(std::string_view bytes);
  void chunkLine(std::string_view line);
  void keep(std::string_view bytes);
  void finish() { state_ = State::Done; }

  const std::size_t bodyCap_;
  State state_ = State::Head;
  std::string line_;
  std::size_t headBytes_ = 0;
  std::size_t fields_ = 0;
  bool sawStatus_ = false;
  int status_ = 0;
  std::optional<uint64_t> contentLength_;
  bool chunked_ = false;
  std::string location_;
  Framing framing_ = Framing::UntilClose;
  uint64_t remaining_ = 0;  // of the body (Length) or of the current chunk
  ChunkStep chunkStep_ = ChunkStep::Size;
  std::string body_;
  std::string failure_;
};

}  // namespace lw
