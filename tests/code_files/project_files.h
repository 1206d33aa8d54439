#pragma once
// Builds project files for the reader tests and patches them.
#include <vector>

#include "core/byte_sum.h"
#include "image/kpj_format.h"
#include "resources/embedded_resources.h"
#include "resources/part_database.h"

namespace lw::test {

inline SaveStamp exampleStamp() { return SaveStamp{LocalTime{2024, 5, 28, 10, 20, 30}, 0x5566, 0x11223344}; }

// A project file of the image for the part, with the record's other fields
// as given.
inline std::vector<uint8_t> projectFile(const std::vector<uint8_t>& image, uint16_t partIndex,
                                        ProjectRecord record = newProjectRecord(0x0100)) {
  PartRecord part;
  applyPart(embeddedResources(), partIndex, part);
  std::vector<uint8_t> file = image;
  const std::vector<uint8_t> tail =
      writeProjectRecord(record, part, static_cast<uint32_t>(image.size()), codeChecksum(image.data(), image.size()),
                         exampleStamp());
  file.insert(file.end(), tail.begin(), tail.end());
  return file;
}

// Recomputes the record checksum after a patch, so that only the patched
// field is wrong.
inline void resealRecord(std::vector<uint8_t>& file) {
  const std::size_t length = (file[file.size() - 2] << 8) | file[file.size() - 1];
  const std::size_t start = file.size() - length;
  uint32_t sum = 0;
  for (std::size_t i = start; i < file.size(); ++i) {
    if (i != file.size() - 4 && i != file.size() - 3) sum += file[i];
  }
  file[file.size() - 4] = static_cast<uint8_t>(sum >> 8);
  file[file.size() - 3] = static_cast<uint8_t>(sum);
}

// Offset of a record field in the file.
inline std::size_t recordStart(const std::vector<uint8_t>& file) {
  return file.size() - ((file[file.size() - 2] << 8) | file[file.size() - 1]);
}

}  // namespace lw::test
