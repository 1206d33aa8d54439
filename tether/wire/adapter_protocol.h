#pragma once
// The adapter's wire protocol: the reports the Link library, the program and
// the adapter exchange. Byte-by-byte layouts are written down in
// docs/adapter-protocol.md; this header is their single definition in code,
// shared by the Link library, the adapter emulator and the tests.
//
// Every multi-byte number is stored least significant byte first. Every
// report starts with the report-ID byte, which is 0 on this adapter.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace lw::wire {

// Report lengths, each counting the report-ID byte.
inline constexpr std::size_t kNormalFeatureLength = 129;   // adapter in normal mode
inline constexpr std::size_t kBootFeatureLength = 65;      // firmware-update and needs-update modes
inline constexpr std::size_t kInputLength = 65;
inline constexpr std::size_t kOutputLength = 65;

// Data bytes per block-write feature report.
inline constexpr std::size_t kBlockDataPerReport = 128;

// ---- Requests of the Link library (feature reports, normal mode) --------

inline constexpr uint8_t kRequestMarker = 0x5A;
inline constexpr std::size_t kRequestLength = 129;
inline constexpr std::size_t kRequestParamCount = 16;  // Ice+12 .. Ice+27

enum class RequestKind : uint8_t {
  kCommand = 0x01,     // ICE_Send_Command
  kBlockWrite = 0x02,  // ICE_Write: data reports follow
  kRead = 0x03,        // ICE_Read_Data: read answers follow
  kIdentify = 0x04,    // ICE_Check_Firmware, CheckDevice
};

struct Request {
  RequestKind kind = RequestKind::kCommand;
  uint8_t tag = 0;
  uint8_t command = 0;
  uint8_t flag = 0;
  uint32_t address = 0;
  uint32_t byteCount = 0;
  std::array<uint8_t, kRequestParamCount> params{};
};

// Writes the request into report[0 .. kRequestLength); the caller's report
// may be longer and is zero-filled after it. Returns false when the report
// is shorter than kRequestLength.
bool encodeRequest(const Request& request, std::span<uint8_t> report);
// Reads a request; nothing when the length, marker, kind or check is wrong.
std::optional<Request> decodeRequest(std::span<const uint8_t> report);

// 16-bit sum of report bytes 1..126, stored at 127..128 of requests and of
// the adapter's feature answers.
uint16_t reportCheck(std::span<const uint8_t> report);

// ---- The answer input report ----------------------------------------------

struct Answer {
  uint8_t tag = 0;
  uint8_t command = 0;  // echo of the command, not examined by the program
  uint16_t status = 0;
  uint16_t millivolts = 0;
};

// report: kInputLength bytes, report ID first.
void encodeAnswer(const Answer& answer, std::span<uint8_t> report);
// answer: the input report without its report-ID byte (at least 6 bytes).
std::optional<Answer> decodeAnswer(std::span<const uint8_t> bytesAfterReportId);

// Adapter status codes carried by answers.
namespace status {
inline constexpr uint16_t kOk = 0;
inline constexpr uint16_t kChecksum = 1;            // block sum or header check wrong
inline constexpr uint16_t kVoltage = 2;             // supply outside the step's window
inline constexpr uint16_t kNoResponse = 3;          // target does not answer / not connected
inline constexpr uint16_t kIncomplete = 4;          // block transfer stalled before its end
inline constexpr uint16_t kFailed = 5;              // wrong part, erase or program failure
inline constexpr uint16_t kProtected = 6;           // right part, flash read-protected
inline constexpr uint16_t kOutOfRange = 7;          // address or length beyond the memory
}  // namespace status

// ---- Feature answers of the adapter (read with a get-feature request) ------

inline constexpr uint8_t kIdleAnswerKind = 0x80;
inline constexpr uint8_t kReadAnswerKind = 0x83;
inline constexpr uint8_t kIdentifyAnswerKind = 0x84;
inline constexpr std::size_t kReadChunkSize = 112;
inline constexpr std::size_t kModelNameSize = 16;

struct IdentifyAnswer {
  uint8_t tag = 0;
  uint8_t firmwareMajor = 0;
  uint8_t firmwareMinor = 0;
  uint8_t storage = 0;          // 1: can hold an off-line job
  uint8_t targetConnected = 0;  // 1: between command 37 and command 4/8
  uint16_t millivolts = 0;      // last measured target supply
  uint32_t storageCapacity = 0; // bytes of off-line code it can hold
  std::array<char, kModelNameSize> model{};
};

struct ReadAnswer {
  uint8_t tag = 0;
  uint16_t status = 0;
  uint32_t offset = 0;  // of this chunk within the requested range
  uint16_t length = 0;  // data bytes in this chunk, at most kReadChunkSize
  std::array<uint8_t, kReadChunkSize> data{};
};

void encodeIdentifyAnswer(const IdentifyAnswer& answer, std::span<uint8_t> report);
std::optional<IdentifyAnswer> decodeIdentifyAnswer(std::span<const uint8_t> report);
void encodeReadAnswer(const ReadAnswer& answer, std::span<uint8_t> report);
std::optional<ReadAnswer> decodeReadAnswer(std::span<const uint8_t> report);
// The answer to a get-feature request when nothing is pending.
void encodeIdleAnswer(std::span<uint8_t> report);

// ---- Firmware-update reports (firmware-update mode, feature reports) ------

inline constexpr uint8_t kUpdateStart = 0x33;
inline constexpr uint8_t kUpdateEnd = 0x22;
inline constexpr uint8_t kUpdateEndSubcode = 0x02;  // byte 7 of the end report
inline constexpr uint8_t kUpdateReset = 0x44;

// ---- Switch report (output report, needs-update mode) ---------------------

inline constexpr uint8_t kSwitchReportId = 0x0C;
inline constexpr uint8_t kSwitchCode = 0x44;

// ---- Command 9 ----------------------------------------------------------

inline constexpr uint8_t kEnterUpdateKey0 = 0x20;  // Ice+12
inline constexpr uint8_t kEnterUpdateKey1 = 0x86;  // Ice+13

}  // namespace lw::wire
