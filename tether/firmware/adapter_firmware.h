#pragma once
// The adapter firmware image built with this project (generated at build
// time by fwgen); the Link library serves it as its "FW" 5002 resource and
// the emulated adapter runs it when its state is first created.
#include <cstdint>
#include <span>

namespace lw {

std::span<const uint8_t> adapterFirmwareImage();

}  // namespace lw
