#pragma once
// One HTTP GET run to its end on the calling thread with Qt's blocking
// socket calls, for a worker thread: plain HTTP or TLS, no proxy, no cache,
// "Accept-Encoding: identity", at most a few redirects (never from https to
// http), the body bounded by kMaxDownloadBytes. Every wait is cut at the
// deadline, and between short slices the worker looks whether its caller
// has given up on it; only the host-name lookup cannot be cut short, which
// is why the caller waits for the worker with a bound of its own.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

namespace lw {

inline constexpr int kMaxHttpRedirects = 3;

struct HttpGetResult {
  uint32_t error = 0;  // 0, err::kInternetTimeout or err::kInternetCannotConnect
  std::string body;
};

HttpGetResult blockingHttpGet(const std::string& url, std::chrono::steady_clock::time_point deadline,
                              const std::atomic<bool>& abandoned);

}  // namespace lw
