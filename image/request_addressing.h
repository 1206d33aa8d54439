#pragma once
// The address block of a project's request form, as the KPJ Dialog last
// confirmed it. Kept by the main dialog until the next confirmation.
#include <string>

namespace lw {

struct RequestAddressing {
  std::string to;
  std::string from;
  std::string partNo;
};

}  // namespace lw
