#include "update/http_response_reader.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace lw {

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Digits of the given base only, no sign and no overflow.
std::optional<uint64_t> number(std::string_view s, int base) {
  if (s.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : s) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    if (value > (std::numeric_limits<uint64_t>::max() - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base))
      return std::nullopt;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  return value;
}

// The last coding of a Transfer-Encoding list.
std::string_view lastCoding(std::string_view value) {
  const std::size_t comma = value.rfind(',');
  return trimmed(comma == std::string_view::npos ? value : value.substr(comma + 1));
}

}  // namespace

void HttpResponseReader::fail(const char* why) {
  state_ = State::Failed;
  failure_ = why;
}

HttpResponseReader::State HttpResponseReader::feed(std::string_view bytes) {
  while (!bytes.empty() && (state_ == State::Head || state_ == State::Body)) {
    if (state_ == State::Head) {
      headByte(bytes.front());
      bytes.remove_prefix(1);
    } else {
      bytes.remove_prefix(bodyBytes(bytes));
    }
  }
  return state_;
}

HttpResponseReader::State HttpResponseReader::endOfStream() {
  if (state_ == State::Head) fail("the connection closed before the head ended");
  if (state_ == State::Body) {
    if (framing_ == Framing::UntilClose) finish();
    else fail("the connection closed before the body ended");
  }
  return state_;
}

// ---- Head ---------------------------------------------------------------------

void HttpResponseReader::headByte(char c) {
  if (++headBytes_ > kHttpMaxHeadBytes) return fail("the head is too long");
  if (c != '\n') {
    if (line_.size() >= kHttpMaxLineBytes) return fail("a head line is too long");
    line_ += c;
    return;
  }
  std::string_view line = line_;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  headLine(line);
  line_.clear();
}

void HttpResponseReader::headLine(std::string_view line) {
  if (!sawStatus_) return statusLine(line);
  if (line.empty()) return headEnded();
  if (line.front() == ' ' || line.front() == '\t') return fail("a folded head line");
  if (++fields_ > kHttpMaxFields) return fail("too many head fields");
  field(line);
}

void HttpResponseReader::statusLine(std::string_view line) {
  // "HTTP/1.x NNN reason"
  if (line.size() < 12 || line.substr(0, 7) != "HTTP/1." || !std::isdigit(static_cast<unsigned char>(line[7])) ||
      line[8] != ' ')
    return fail("not an HTTP/1 status line");
  const auto code = number(line.substr(9, 3), 10);
  if (!code || *code < 100 || (line.size() > 12 && line[12] != ' ')) return fail("not an HTTP/1 status line");
  status_ = static_cast<int>(*code);
  sawStatus_ = true;
}

void HttpResponseReader::field(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0) return fail("a head field without a name");
  const std::string_view name = line.substr(0, colon);
  if (name.find_first_of(" \t") != std::string_view::npos) return fail("a head field name with blanks");
  const std::string_view value = trimmed(line.substr(colon + 1));
  if (sameName(name, "Content-Length")) {
    const auto length = number(value, 10);
    if (!length || (contentLength_ && *contentLength_ != *length)) return fail("a bad Content-Length");
    contentLength_ = length;
  } else if (sameName(name, "Transfer-Encoding")) {
    chunked_ = sameName(lastCoding(value), "chunked");
  } else if (sameName(name, "Location")) {
    location_ = std::string(value);
  }
}

void HttpResponseReader::headEnded() {
  if (status_ >= 100 && status_ < 200) {
    if (status_ == 101) return fail("the server switched protocols");
    // An interim answer: the real one follows.
    sawStatus_ = false;
    fields_ = 0;
    contentLength_.reset();
    chunked_ = false;
    location_.clear();
    return;
  }
  state_ = State::Body;
  if (status_ == 204 || status_ == 304) return finish();
  if (chunked_) {
    framing_ = Framing::Chunked;
    chunkStep_ = ChunkStep::Size;
  } else if (contentLength_) {
    framing_ = Framing::Length;
    remaining_ = *contentLength_;
    if (remaining_ == 0) finish();
  } else {
    framing_ = Framing::UntilClose;
  }
}

// ---- Body ---------------------------------------------------------------------

void HttpResponseReader::keep(std::string_view bytes) {
  const std::size_t room = bodyCap_ - std::min(bodyCap_, body_.size());
  body_.append(bytes.substr(0, std::min(room, bytes.size())));
  // Whatever follows the cap is not wanted: the response is taken as it is.
  if (body_.size() >= bodyCap_) finish();
}

std::size_t HttpResponseReader::bodyBytes(std::string_view bytes) {
  switch (framing_) {
    case Framing::UntilClose:
      keep(bytes);
      return bytes.size();
    case Framing::Length: {
      const std::size_t take = static_cast<std::size_t>(std::min<uint64_t>(remaining_, bytes.size()));
      remaining_ -= take;
      keep(bytes.substr(0, take));
      if (remaining_ == 0) finish();
      return take;
    }
    case Framing::Chunked:
      return chunkedBytes(bytes);
  }
  return bytes.size();
}

std::size_t HttpResponseReader::chunkedBytes(std::string_view bytes) {
  if (chunkStep_ == ChunkStep::Data) {
    const std::size_t take = static_cast<std::size_t>(std::min<uint64_t>(remaining_, bytes.size()));
    remaining_ -= take;
    keep(bytes.substr(0, take));
    if (remaining_ == 0 && state_ == State::Body) chunkStep_ = ChunkStep::DataEnd;
    return take;
  }
  // Size lines, the line end after the data and the trailer come as lines.
  const char c = bytes.front();
  if (c != '\n') {
    if (line_.size() >= kHttpMaxLineBytes) {
      fail("a chunk line is too long");
      return 1;
    }
    line_ += c;
    return 1;
  }
  std::string_view line = line_;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  chunkLine(line);
  line_.clear();
  return 1;
}

void HttpResponseReader::chunkLine(std::string_view line) {
  switch (chunkStep_) {
    case ChunkStep::Size: {
      const std::size_t end = line.find_first_of("; \t");
      const auto size = number(line.substr(0, end), 16);
      if (!size) return fail("a bad chunk size");
      remaining_ = *size;
      chunkStep_ = *size == 0 ? ChunkStep::Trailer : ChunkStep::Data;
      return;
    }
    case ChunkStep::DataEnd:
      if (!line.empty()) return fail("a chunk longer than its size");
      chunkStep_ = ChunkStep::Size;
      return;
    case ChunkStep::Trailer:
      if (line.empty()) return finish();
      if (++fields_ > kHttpMaxFields) return fail("too many trailer fields");
      return;
    case ChunkStep::Data:
      return;  // data is taken whole above
  }
}

}  // namespace lw
