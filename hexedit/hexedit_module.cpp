#include <cstring>

#include "hexedit/hexedit_api.h"

extern "C" __attribute__((visibility("default"))) int HexEdit_HasWindowClass(const char* className) {
  return className && std::strcmp(className, HEXEDIT_CLASS_NAME) == 0;
}
