#pragma once
// The byte layout of a ".kpj" project file: the code image, then the project
// record, whose last two bytes hold its own length L. Writing lays out a
// record; reading checks a whole file and copies its record into memory.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/part_record.h"
#include "image/project_record.h"
#include "core/ports/clock_port.h"

namespace lw {

// What each save stamps into the record: the local time and two keys.
struct SaveStamp {
  LocalTime time;
  uint16_t atpgKey = 0;
  uint32_t randomKey = 0;
};

// Reads the local time, seeds the standard pseudo-random generator with the
// calendar time in seconds and draws the ATPG key (tick count x rand, low
// 16 bits) and then the random key (tick count read again x rand).
SaveStamp drawSaveStamp(ClockPort& clock);

// L = N + n + m + 57.
uint32_t projectRecordLength(const ProjectRecord& record);

// Takes the applied Part index and its option bytes from the part, the size
// and checksum of the image being saved and the stamp into the record, and
// returns the record's L bytes with the record checksum in place.
std::vector<uint8_t> writeProjectRecord(ProjectRecord& record, const PartRecord& part, uint32_t codeSize,
                                        uint16_t codeChecksum, const SaveStamp& stamp);

// Where the record of a project file lies, once every length in it has been
// found to stay inside the file and the record.
struct ProjectRecordLayout {
  std::size_t start = 0;   // file offset of the record = size of the code image
  std::size_t length = 0;  // L
};

// The checks made before anything is taken from a project file: the record
// length and every length inside the record (N, n, m, code size) stay
// within the file and the record, the format code is 0x16 or 0x18, the
// record checksum and the code checksum match. Nothing when any fails.
std::optional<ProjectRecordLayout> checkProjectFile(std::span<const uint8_t> file);

// Copies the fields at the record's tail (version, reserved word, format
// code, record checksum, L) and the magic into the record. The file must
// have passed checkProjectFile.
void readProjectTail(std::span<const uint8_t> file, const ProjectRecordLayout& layout, ProjectRecord& record);

// Copies the fields in file order, from the code-file name to the save
// time, into the record. The file must have passed checkProjectFile.
void readProjectBody(std::span<const uint8_t> file, const ProjectRecordLayout& layout, ProjectRecord& record);

}  // namespace lw
