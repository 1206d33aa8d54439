#include "image/image_file_writer.h"

#include <algorithm>

#include "image/code_file_kind.h"

namespace lw {

namespace {

constexpr std::size_t kBytesPerRecord = 16;

void appendHexByte(std::string& out, uint8_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

// One Intel HEX record: the checksum makes all its bytes add up to 0.
void appendHexRecord(std::string& out, uint8_t type, uint16_t address, std::span<const uint8_t> data) {
  const uint8_t head[] = {static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8),
                          static_cast<uint8_t>(address), type};
  unsigned sum = 0;
  out += ':';
  for (std::span<const uint8_t> part : {std::span<const uint8_t>(head), data}) {
    for (uint8_t b : part) {
      appendHexByte(out, b);
      sum += b;
    }
  }
  appendHexByte(out, static_cast<uint8_t>(0x100 - (sum & 0xFF)));
  out += '\n';
}

// One S-record with an address of addressBytes bytes: the checksum makes
// the bytes after the type add up to 0xFF.
void appendSRecord(std::string& out, char type, uint32_t address, std::size_t addressBytes,
                   std::span<const uint8_t> data) {
  const auto count = static_cast<uint8_t>(addressBytes + data.size() + 1);
  unsigned sum = count;
  out += 'S';
  out += type;
  appendHexByte(out, count);
  for (std::size_t i = addressBytes; i-- > 0;) {
    const auto b = static_cast<uint8_t>(address >> (8 * i));
    appendHexByte(out, b);
    sum += b;
  }
  for (uint8_t b : data) {
    appendHexByte(out, b);
    sum += b;
  }
  appendHexByte(out, static_cast<uint8_t>(~sum));
  out += '\n';
}

std::string intelHexText(std::span<const uint8_t> image) {
  std::string out;
  out.reserve(image.size() / kBytesPerRecord * 44 + 64);
  for (std::size_t at = 0; at < image.size(); at += kBytesPerRecord) {
    const uint32_t address = kFlashBaseAddress + static_cast<uint32_t>(at);
    if (at == 0 || (address & 0xFFFF) == 0) {
      const uint8_t upper[] = {static_cast<uint8_t>(address >> 24), static_cast<uint8_t>(address >> 16)};
      appendHexRecord(out, 0x04, 0, upper);
    }
    appendHexRecord(out, 0x00, static_cast<uint16_t>(address), image.subspan(at, std::min(kBytesPerRecord, image.size() - at)));
  }
  appendHexRecord(out, 0x01, 0, {});
  return out;
}

std::string sRecordText(std::span<const uint8_t> image) {
  std::string out;
  out.reserve(image.size() / kBytesPerRecord * 46 + 64);
  appendSRecord(out, '0', 0, 2, {});
  std::size_t records = 0;
  for (std::size_t at = 0; at < image.size(); at += kBytesPerRecord, ++records) {
    appendSRecord(out, '3', kFlashBaseAddress + static_cast<uint32_t>(at), 4,
                  image.subspan(at, std::min(kBytesPerRecord, image.size() - at)));
  }
  if (records <= 0xFFFF) {
    appendSRecord(out, '5', static_cast<uint32_t>(records), 2, {});
  } else {
    appendSRecord(out, '6', static_cast<uint32_t>(records), 3, {});
  }
  appendSRecord(out, '7', kFlashBaseAddress, 4, {});
  return out;
}

}  // namespace

std::optional<ImageFileFormat> imageFileFormatNamed(std::string_view name) {
  if (name == "bin") return ImageFileFormat::Binary;
  if (name == "hex") return ImageFileFormat::IntelHex;
  if (name == "srec") return ImageFileFormat::SRecord;
  return std::nullopt;
}

std::optional<ImageFileFormat> imageFileFormatFor(std::string_view path) {
  switch (codeFileKindOf(path)) {
    case CodeFileKind::IntelHex:
      return ImageFileFormat::IntelHex;
    case CodeFileKind::SRecord:
      return ImageFileFormat::SRecord;
    case CodeFileKind::Raw:
      return ImageFileFormat::Binary;
    case CodeFileKind::Elf:
    case CodeFileKind::Project:
      break;
  }
  return std::nullopt;
}

std::string imageFileContent(std::span<const uint8_t> image, ImageFileFormat format) {
  switch (format) {
    case ImageFileFormat::IntelHex:
      return intelHexText(image);
    case ImageFileFormat::SRecord:
      return sRecordText(image);
    case ImageFileFormat::Binary:
      break;
  }
  return std::string(image.begin(), image.end());
}

FileReplaceResult writeImageFile(const std::string& path, std::span<const uint8_t> image, ImageFileFormat format) {
  if (format == ImageFileFormat::Binary) return replaceFileContent(path, {image});
  const std::string text = imageFileContent(image, format);
  return replaceFileContent(path, {std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())});
}

}  // namespace lw
