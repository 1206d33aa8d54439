#pragma once
// The C interface of the hex-view module. Loading the module makes the
// window class "HEXEDIT10" available. The program resolves these symbols
// at run time from the loaded module; it never links the module.
//
// A window is a Qt widget created as a child of the given parent widget.
// Its handle is that widget (a QWidget*), so the owner can place and show
// it; the owner must destroy it with HexEdit_DestroyWindow, before the
// module is unloaded.
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define HEXEDIT_CLASS_NAME "HEXEDIT10"

typedef void* HexEdit_Window;

// Receives the view's notifications: the control id and the notification
// code (0x300 after every change of the content).
typedef void (*HexEdit_NotifyFn)(void* context, int controlId, int code);

// Non-zero when the module provides the named window class.
int HexEdit_HasWindowClass(const char* className);

// Creates a window of the class as a child of parent (a QWidget*).
// Returns NULL for an unknown class or a missing parent.
HexEdit_Window HexEdit_CreateWindow(const char* className, void* parent, int controlId,
                                    HexEdit_NotifyFn notify, void* context);

// Sends one message of the view's set and returns its result.
intptr_t HexEdit_SendMessage(HexEdit_Window window, unsigned msg, uintptr_t wParam, intptr_t lParam);

void HexEdit_DestroyWindow(HexEdit_Window window);

// Function types, for resolving the symbols by name.
typedef int (*HexEdit_HasWindowClassFn)(const char*);
typedef HexEdit_Window (*HexEdit_CreateWindowFn)(const char*, void*, int, HexEdit_NotifyFn, void*);
typedef intptr_t (*HexEdit_SendMessageFn)(HexEdit_Window, unsigned, uintptr_t, intptr_t);
typedef void (*HexEdit_DestroyWindowFn)(HexEdit_Window);

#ifdef __cplusplus
}
#endif
