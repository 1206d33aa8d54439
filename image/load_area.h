#pragma once
// Where an interactive load places a raw or HEX image, as the "Select
// AP/IAP area" dialog answers it.
#include <cstdint>

namespace lw {

struct LoadArea {
  uint32_t address = 0;     // 0 for AP, the typed address for IAP
  bool iapChosen = false;
  bool clearBuffer = true;  // drop the current Code buffer before placing
};

}  // namespace lw
