#pragma once
// The hex view that holds the Code buffer, driven by its message set.
// The numbers are the view's own message numbers; the view reports content
// changes to its dialog as command notification kHexChanged from control 1022.
#include <cstdint>

namespace lw {

namespace hexmsg {
inline constexpr unsigned kReplace = 1025;     // wParam bytes, lParam length: replace content
inline constexpr unsigned kData = 1026;        // (0,0): length; (dest,len): copy out
inline constexpr unsigned kSetup = 1032;       // wParam 0x60000
inline constexpr unsigned kColours = 1033;     // wParam: pointer to nine uint32_t
inline constexpr unsigned kRowSetup = 1035;    // wParam 14
inline constexpr unsigned kChecksum = 1037;    // result: checksum (low 16 bits used)
inline constexpr unsigned kFlashSize = 1038;   // wParam: flash size in bytes
inline constexpr unsigned kLanguage = 1039;    // wParam: Language index of the view's own menu and prompts
inline constexpr unsigned kCommand = 0x0111;   // command message; wParam kClear empties the view
inline constexpr uintptr_t kClear = 0xE121;
inline constexpr int kChangedNotification = 0x300;
}  // namespace hexmsg

class HexViewPort {
 public:
  virtual ~HexViewPort() = default;
  virtual intptr_t send(unsigned msg, uintptr_t wParam, intptr_t lParam) = 0;
};

}  // namespace lw
