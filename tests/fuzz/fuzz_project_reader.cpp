// Fuzzes reading a ".kpj" project file into the program, through the same
// host stand-in the code-file tests use. Built twice: as it is, and with
// FUZZ_REPAIR_CHECKS, where every input first gets a record length inside
// the file, a valid format code, a code size inside the image and both
// checksums made right, so that mutations reach the length checks and the
// reading of the record's fields instead of dying at the checksums.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/ids/language_keys.h"
#include "image/project_reader.h"
#include "resources/part_database.h"
#include "tests/fuzz/front_loaded_resources.h"
#include "tests/fuzz/kpj_repair.h"
#include "tests/code_files/fake_host.h"


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::vector<uint8_t> file(data, data + size);
#ifdef FUZZ_REPAIR_CHECKS
  lw::fuzz::repairProjectChecks(file);
#endif
  // First in the tables: the boxes a refused file puts up, and what listing
  // a series and applying a part read from each part's descriptor.
  using namespace lw::textkey;
  using namespace lw::partkey;
  static const lw::fuzz::FrontLoadedResources resources{
      kError, kIncompatible, kNotAProject, kNewerEdition, kOldEdition, kTargetNotSupported,
      kSeries, kName, kFlashSize, kOptionByteCount, kDeviceId, kKey163, kAdapterParamA, kAdapterParamB, kAdapterParamC,
      kDefaultOptionBytes};
  // A fresh host for every input, so that a crash replays from its input
  // alone.
  lw::test::FakeHost host;
  host.ctx.resources = &resources;
  host.partListLasts = true;
  host.choosePart(43);
  lw::readProjectFile(host, "/fuzz/input.kpj", std::span<const uint8_t>(file));
  return 0;
}
