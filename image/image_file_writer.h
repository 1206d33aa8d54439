#pragma once
// Writing an image out as a file: raw binary, Intel HEX or S-record. The two
// text formats put Code buffer offset 0 at the flash's address 0x08000000,
// as a toolchain's files do, so that objcopy and srec_cat read them back as
// the same bytes and the loader maps them back to offset 0 (images up to
// 16 MiB, far beyond any part's flash). Every byte is written, erased 0xFF
// runs included, so no reader has to guess a gap's fill. Files are replaced
// whole (file_replace.h): a failed write leaves the old file as it was.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "image/file_replace.h"

namespace lw {

enum class ImageFileFormat { Binary, IntelHex, SRecord };

inline constexpr uint32_t kFlashBaseAddress = 0x08000000;

// "bin", "hex" or "srec"; nothing for any other name.
std::optional<ImageFileFormat> imageFileFormatNamed(std::string_view name);

// The format a file name asks for: Intel HEX for ".hex", S-record for the
// S-record extensions, raw binary for any other; nothing for the ELF and
// project extensions, which this writer does not produce.
std::optional<ImageFileFormat> imageFileFormatFor(std::string_view path);

// The file's bytes. Intel HEX: a type 04 extended linear address record
// before the first data record and at every 64 KiB boundary, 16 data bytes a
// record, the end record. S-record: an empty S0 header, S3 records of 16
// data bytes, an S5 record count (S6 beyond 65535 records) and an S7 end
// record naming the flash's address.
std::string imageFileContent(std::span<const uint8_t> image, ImageFileFormat format);

// Replaces the file's content with the image in the format.
FileReplaceResult writeImageFile(const std::string& path, std::span<const uint8_t> image, ImageFileFormat format);

}  // namespace lw
