#include "hexedit/hex_view_state.h"

#include <cstring>

#include "core/ports/hex_view_port.h"
#include "hexedit/view_texts.h"

namespace lw::hexedit {

intptr_t handleHexMessage(HexViewState& state, unsigned msg, uintptr_t wParam, intptr_t lParam) {
  ByteModel& model = state.model;
  HexViewSettings& s = state.settings;
  switch (msg) {
    case hexmsg::kReplace: {
      const auto* bytes = reinterpret_cast<const uint8_t*>(wParam);
      if (lParam < 0 || (!bytes && lParam > 0)) return 0;
      model.replace(bytes, static_cast<std::size_t>(lParam));
      return 0;
    }
    case hexmsg::kData: {
      if (wParam == 0) return static_cast<intptr_t>(model.size());
      if (lParam <= 0) return 0;
      model.copyOut(reinterpret_cast<uint8_t*>(wParam), static_cast<std::size_t>(lParam));
      return 0;
    }
    case hexmsg::kSetup:
      s.capacityHint = static_cast<uint32_t>(wParam);
      return 0;
    case hexmsg::kColours: {
      const auto* record = reinterpret_cast<const uint32_t*>(wParam);
      if (!record) return 0;
      s.areaFlags = record[0];
      for (std::size_t i = 0; i < s.colours.size(); ++i) s.colours[i] = record[i + 1];
      return 0;
    }
    case hexmsg::kRowSetup:
      if (wParam > 0 && wParam < 256) s.rowHeight = static_cast<int>(wParam);
      return 0;
    case hexmsg::kChecksum:
      return model.checksum();
    case hexmsg::kFlashSize:
      s.flashSize = static_cast<uint32_t>(wParam);
      model.setSizeLimit(s.flashSize);
      return 0;
    case hexmsg::kCommand:
      if (wParam == hexmsg::kClear) model.clear();
      return 0;
    case hexmsg::kLanguage:
      s.languageIndex = wParam <= kLastViewLanguage ? static_cast<uint16_t>(wParam) : 0;
      return 0;
    default:
      return 0;
  }
}

}  // namespace lw::hexedit
