#pragma once
// The C interface of the hex-view module. Loading the module makes the
// window class "HEXEDIT10" available.
#ifdef __cplusplus
extern "C" {
#endif

#define HEXEDIT_CLASS_NAME "HEXEDIT10"

// Non-zero when the module provides the named window class.
int HexEdit_HasWindowClass(const char* className);

#ifdef __cplusplus
}
#endif
