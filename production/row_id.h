#pragma once
// Ids that no two rows, runs or stations share: random version-4 UUIDs.
#include <string>

namespace lw {

// "3f2b8c1e-5d0a-4e7b-9c41-0a2d6e8f1b73"
std::string newRowId();

}  // namespace lw
