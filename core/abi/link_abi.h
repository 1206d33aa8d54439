#pragma once
// The Link library's shared records and entry points. The library and the
// program both use these definitions; the byte offsets are fixed because
// the program reads and writes the records directly.
#include <cstddef>
#include <cstdint>

namespace lw {

inline constexpr std::size_t kIceParamCount = 128;
inline constexpr std::size_t kReadBackSize = 262428;

// The request record "Ice".
struct __attribute__((packed)) IceRecord {
  uint8_t command;                 // +0 command of the next ICE_Write
  uint8_t pad0[3];
  uint32_t address;                // +4 always 0
  uint32_t byteCount;              // +8 byte count of the block
  uint8_t params[kIceParamCount];  // +12..+139; +12/+13 a command's parameters, +18 storage flag
  uint8_t pad1[115];               // +140..+254
  uint8_t readBack[kReadBackSize]; // +255 read-back area
  uint8_t requestTag;              // +262683 tag the adapter echoes
};
static_assert(offsetof(IceRecord, command) == 0);
static_assert(offsetof(IceRecord, address) == 4);
static_assert(offsetof(IceRecord, byteCount) == 8);
static_assert(offsetof(IceRecord, params) == 12);
static_assert(offsetof(IceRecord, readBack) == 255);
static_assert(offsetof(IceRecord, requestTag) == 262683);

// Offsets inside Ice of single bytes the program uses by number.
inline constexpr std::size_t kIceParam0 = 12;
inline constexpr std::size_t kIceParam1 = 13;
inline constexpr std::size_t kIceStorageFlag = 18;  // 0: the adapter cannot hold a code image

// The open adapter "HidDevice". Handles are 32-bit values of the HID layer.
struct __attribute__((packed)) HidDeviceRecord {
  uint8_t reserved0[8];
  uint32_t handle;               // +8, 0 when none is open
  uint8_t featureReportLength;   // +12, counting the report-ID byte
  uint8_t inputReportLength;     // +13
  uint8_t outputReportLength;    // +14
  uint8_t reserved1[17];
};
static_assert(offsetof(HidDeviceRecord, handle) == 8);
static_assert(offsetof(HidDeviceRecord, featureReportLength) == 12);
static_assert(offsetof(HidDeviceRecord, inputReportLength) == 13);
static_assert(offsetof(HidDeviceRecord, outputReportLength) == 14);

// Adapter identity.
inline constexpr uint16_t kAdapterVendorId = 0x0E6A;
inline constexpr uint16_t kPidNormal = 0x0325;
inline constexpr uint16_t kPidNeedsUpdate = 0x0331;
inline constexpr uint16_t kPidNeedsUpdateAlt = 0x0FFF;
inline constexpr uint16_t kPidFirmwareUpdate = 0x030B;

// Commands.
namespace cmd {
inline constexpr uint8_t kReleaseTarget = 4;
inline constexpr uint8_t kEndRun = 8;
inline constexpr uint8_t kEnterFirmwareUpdate = 9;
inline constexpr uint8_t kErase = 13;
inline constexpr uint8_t kCheckPart = 35;
inline constexpr uint8_t kConnectTarget = 37;
inline constexpr uint8_t kWriteCode = 25;
inline constexpr uint8_t kWriteOptions = 26;
inline constexpr uint8_t kWriteOfflineHeader = 27;
inline constexpr uint8_t kWriteOfflineCode = 28;
inline constexpr uint8_t kReadTarget = 30;
inline constexpr uint8_t kReadAdapterCode = 33;
}  // namespace cmd

// What an adapter in normal mode says about itself, for listing adapters.
struct AdapterIdentity {
  uint8_t firmwareMajor;
  uint8_t firmwareMinor;
  uint8_t storage;          // 1: can hold an off-line job
  uint8_t targetConnected;  // 1: a target is connected for a run
  uint16_t millivolts;      // the target supply it measured last
  uint8_t reserved[2];
  uint32_t storageCapacity; // bytes of off-line code it can hold
  char model[16];           // NUL-padded
};
static_assert(sizeof(AdapterIdentity) == 28);

// A read the adapter refused returns this base plus the adapter's status
// (6: the flash is read-protected); the bit marks numbers that are the
// library's own, so such a failure never reads as 0 or 1.
inline constexpr uint32_t kReadRefusedBase = 0x20000000;

// Entry points, by the names the program binds.
extern "C" {
using ConnectHIDDeviceFn = int (*)(uint32_t vendorId, uint32_t productId, uint32_t anyAdapter);
using DisconnectHIDDeviceFn = int (*)();
using ICE_Check_FirmwareFn = int (*)(uint32_t* mismatch);
using ICE_Send_CommandFn = int (*)(uint32_t command, uint32_t flag);
using ICE_WriteFn = int (*)();
using ICE_Read_DataFn = int (*)(uint32_t command, uint8_t* destination, uint32_t address, uint32_t byteCount);
using CheckDeviceFn = int (*)();
// The module's resources ("FW" 5002 is the adapter firmware image): a
// pointer to the bytes and their size, or nullptr.
using ModuleResourceFn = const uint8_t* (*)(const char* type, uint32_t id, uint32_t* size);
// Asks the open adapter who it is; 0 and *identity filled, or an error
// number (50: the adapter is not in normal mode and cannot answer).
using IdentifyAdapterFn = int (*)(AdapterIdentity* identity);
// Progress of a read: the bytes read so far and the byte count asked for,
// called after every report on the thread that reads and with the library
// busy (it must not call the library). A non-zero return stops the read.
using ReadProgressFn = int (*)(void* context, uint32_t bytesRead, uint32_t byteCount);
// ICE_Read_Data with progress: the same read, the same results, and err 995
// (operation aborted) when the progress function stopped it; the
// destination is then left as it was.
using ReadDataProgressFn = int (*)(uint32_t command, uint8_t* destination, uint32_t address, uint32_t byteCount,
                                   ReadProgressFn progress, void* context);
}

inline constexpr char kIdentifyAdapterSymbol[] = "LW_IdentifyAdapter";
inline constexpr char kReadDataProgressSymbol[] = "LW_Read_Data_Progress";

inline constexpr char kModuleResourceSymbol[] = "LW_ModuleResource";
inline constexpr char kFirmwareResourceType[] = "FW";
inline constexpr uint32_t kFirmwareResourceId = 5002;

}  // namespace lw
