#pragma once
// The Code buffer as the program's window holds it after "Load File" of
// files, each answered in the file and area dialogs: the reference the
// command-line tool's loads are compared with.
#include <cstdint>
#include <string>
#include <vector>

#include "image/load_area.h"

namespace lw::test {

struct WindowLoad {
  std::string path;
  LoadArea area;  // what the "Select AP/IAP area" dialog answers
};

std::vector<uint8_t> loadInTheWindow(const std::string& partName, const std::vector<WindowLoad>& loads);

}  // namespace lw::test
