#pragma once
// Where the fields of the off-line header lie: the block that command 27
// stores in the adapter beside the code (command 28), and that the adapter
// reads when it programs targets on its own. 69 + k bytes for k option
// bytes; multi-byte values least significant byte first; every byte not
// named here is 0. docs/adapter-protocol.md describes it for the adapter.
#include <cstddef>
#include <cstdint>

namespace lw {

namespace offlinehdr {
inline constexpr std::size_t kChecksum = 0;      // u16: sum of bytes 2 .. end
inline constexpr std::size_t kLength = 2;        // u16: 69 + k
inline constexpr std::size_t kFormat = 4;        // u8: 1
inline constexpr std::size_t kPartIndex = 5;     // u16
inline constexpr std::size_t kDeviceId = 7;      // u32
inline constexpr std::size_t kCodeLength = 19;   // u32
inline constexpr std::size_t kCodeChecksum = 23; // u16
inline constexpr std::size_t kFlags = 36;        // u8: offlineflag::...
inline constexpr std::size_t kStartAddress = 37; // u32
inline constexpr std::size_t kSerialString = 41; // 12 bytes
inline constexpr std::size_t kSerialValue = 53;  // u32
inline constexpr std::size_t kMaxCounter = 61;   // u16
inline constexpr std::size_t kParamA = 65;
inline constexpr std::size_t kParamB = 66;
inline constexpr std::size_t kParamC = 67;
inline constexpr std::size_t kOptionCount = 68;  // u8: k
inline constexpr std::size_t kOptionBytes = 69;  // k bytes
inline constexpr std::size_t kFixedSize = 69;
inline constexpr uint8_t kFormatValue = 1;
}  // namespace offlinehdr

}  // namespace lw
