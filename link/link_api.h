#pragma once
// The Link library as the program uses it: its entry points and shared
// records, bound by name once while the main dialog initialises. Every call
// goes through a wrapper that fails cleanly when the library lacks the
// entry point, so a damaged library cannot crash an operation.
#include <cstdint>
#include <span>
#include <string>

#include "core/abi/link_abi.h"
#include "core/ports/module_port.h"

namespace lw {

// Returned by the wrappers when the entry point is missing.
inline constexpr int kLinkEntryMissing = -1;

struct LinkApi {
  ConnectHIDDeviceFn connectHidDevice = nullptr;
  DisconnectHIDDeviceFn disconnectHidDevice = nullptr;
  ICE_Check_FirmwareFn checkFirmware = nullptr;
  ICE_Send_CommandFn sendCommand = nullptr;
  ICE_WriteFn write = nullptr;
  ICE_Read_DataFn readData = nullptr;
  CheckDeviceFn checkDevice = nullptr;  // bound, never called
  IceRecord* ice = nullptr;
  HidDeviceRecord* hidDevice = nullptr;
  ModuleResourceFn moduleResource = nullptr;
  IdentifyAdapterFn identifyAdapter = nullptr;  // optional: only for listing adapters
  ReadDataProgressFn readDataProgress = nullptr;  // optional: reads that tell their progress

  // True when every entry point and record the operations use is bound.
  bool complete() const;

  int connect(uint32_t vendorId, uint32_t productId, uint32_t anyAdapter) const {
    return connectHidDevice ? connectHidDevice(vendorId, productId, anyAdapter) : kLinkEntryMissing;
  }
  int disconnect() const { return disconnectHidDevice ? disconnectHidDevice() : kLinkEntryMissing; }
  int checkFirmwareMismatch(uint32_t* mismatch) const {
    return checkFirmware && ice ? checkFirmware(mismatch) : kLinkEntryMissing;
  }
  int send(uint32_t command) const { return sendCommand && ice ? sendCommand(command, 1) : kLinkEntryMissing; }
  int writeBlock() const { return write && ice ? write() : kLinkEntryMissing; }
  int read(uint32_t command, uint32_t byteCount, uint32_t address = 0) const {
    return readData && ice ? readData(command, ice->readBack, address, byteCount) : kLinkEntryMissing;
  }

  // A read into the read-back area that reports its progress; without the
  // optional entry point a plain read, with no progress.
  int readReporting(uint32_t command, uint32_t address, uint32_t byteCount, ReadProgressFn progress,
                    void* context) const {
    if (readDataProgress && ice) return readDataProgress(command, ice->readBack, address, byteCount, progress, context);
    return read(command, byteCount, address);
  }

  int identify(AdapterIdentity* identity) const {
    return identifyAdapter ? identifyAdapter(identity) : kLinkEntryMissing;
  }

  // The open adapter's handle, 0 when none is open (or no record is bound).
  uint32_t openHandle() const { return hidDevice ? hidDevice->handle : 0; }
};

// Looks the entry points and records up by name in the loaded module.
// Names the module does not export stay unbound.
LinkApi bindLinkLibrary(ModulePort& modules, ModuleHandle module);

// The adapter firmware image held by the Link library (resource "FW" 5002),
// or an empty span.
std::span<const uint8_t> firmwareImage(const LinkApi& link);

}  // namespace lw
