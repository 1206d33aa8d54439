#include "image/project_record.h"

#include <algorithm>
#include <cstring>

namespace lw {

void resetProjectRecord(ProjectRecord& record, uint16_t reservedWordDefault) {
  record = ProjectRecord{};
  std::memcpy(record.magic.data(), kProjectMagic, kProjectMagicSize);
  record.optionBlock.fill(0xFF);
  record.reservedWord = reservedWordDefault;
}

ProjectRecord newProjectRecord(uint16_t reservedWordDefault) {
  ProjectRecord record;
  resetProjectRecord(record, reservedWordDefault);
  return record;
}

bool hasProjectMagic(const ProjectRecord& record) {
  return std::equal(record.magic.begin(), record.magic.end(), kProjectMagic);
}

}  // namespace lw
