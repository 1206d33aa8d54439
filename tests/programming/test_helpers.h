#pragma once
#include <sstream>
#include <string>
#include <vector>

#include "platform/memory/recording_message_boxes.h"
#include "tests/programming/fake_adapter.h"

namespace lw::test {

// The adapter calls in order, without answer reads and with each line cut
// to its first two words ("send 37"), except the connects, kept whole.
inline std::vector<std::string> calls(FakeAdapter& adapter) {
  std::vector<std::string> out;
  for (const std::string& line : adapter.logSnapshot()) {
    if (line.rfind("readInput", 0) == 0) continue;
    if (line.rfind("connect", 0) == 0) {
      out.push_back(line);
      continue;
    }
    std::istringstream words(line);
    std::string a, b;
    words >> a >> b;
    out.push_back(b.empty() ? a : a + " " + b);
  }
  return out;
}

inline bool contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const auto& l : lines)
    if (l == line) return true;
  return false;
}

inline std::vector<std::string> boxTexts(const RecordingMessageBoxes& boxes) {
  std::vector<std::string> out;
  for (const auto& b : boxes.shown) out.push_back(b.text);
  return out;
}

inline std::vector<uint8_t> pattern(std::size_t n, uint8_t seed = 7) {
  std::vector<uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(seed + i * 31);
  return v;
}

}  // namespace lw::test
