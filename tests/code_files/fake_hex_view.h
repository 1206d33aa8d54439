#pragma once
// A hex view kept in memory that answers the messages the loaders send.
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/byte_sum.h"
#include "core/ports/hex_view_port.h"

namespace lw::test {

class FakeHexView final : public HexViewPort {
 public:
  intptr_t send(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    log.push_back(msg == hexmsg::kCommand ? static_cast<unsigned>(wParam) : msg);
    switch (msg) {
      case hexmsg::kReplace: {
        const auto* p = reinterpret_cast<const uint8_t*>(wParam);
        content.assign(p, p + lParam);
        return 0;
      }
      case hexmsg::kData:
        if (wParam == 0) return static_cast<intptr_t>(content.size());
        std::memcpy(reinterpret_cast<void*>(wParam), content.data(),
                    std::min<std::size_t>(content.size(), static_cast<std::size_t>(lParam)));
        return 0;
      case hexmsg::kChecksum: return codeChecksum(content.data(), content.size());
      case hexmsg::kFlashSize: flashSize = static_cast<uint32_t>(wParam); return 0;
      case hexmsg::kCommand:
        if (wParam == hexmsg::kClear) content.clear();
        return 0;
      default: return 0;
    }
  }

  std::vector<uint8_t> content;
  std::vector<unsigned> log;  // message numbers; commands logged by their command id
  uint32_t flashSize = 0;
};

}  // namespace lw::test
