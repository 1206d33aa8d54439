#pragma once
// The command-line tool's Qt module: the pieces of the tool that need Qt
// (drawing the request form as a picture or PDF page, the update check's
// HTTP download), kept in a module of their own so that only the commands
// that draw or fetch load Qt. The tool finds it beside itself and binds
// these C entry points by name.
#include <cstddef>
#include <cstdint>

namespace lw::qtmodule {

inline constexpr char kFileName[] = "libLoomwriteQt.so";

// Raised whenever an entry point's meaning or signature changes; the tool
// refuses a module that reports another number.
inline constexpr int kInterfaceVersion = 2;

// int LW_QtModuleInterface(void)
inline constexpr char kInterfaceSymbol[] = "LW_QtModuleInterface";
using InterfaceFn = int (*)();

// Writes the form (UTF-16, `length` code units) to `path`, whole or not at
// all: the 1-bit BMP picture, or the printed page as PDF. Returns 0, or
// non-zero with the reason as NUL-terminated UTF-8 in reason[0..reasonSize).
inline constexpr char kWriteFormPictureSymbol[] = "LW_WriteFormPicture";
inline constexpr char kWriteFormPdfSymbol[] = "LW_WriteFormPdf";
using WriteFormFn = int (*)(const char16_t* form, std::size_t length, const char* path, char* reason,
                            std::size_t reasonSize);

// HTTP GET of `url` as HttpDownloadPort::download describes: 0, or an
// error number of core/codes.h. The body goes into body[0..capacity) and
// its length into *length; the download keeps at most kMaxDownloadBytes,
// which is the capacity the caller gives.
inline constexpr char kHttpDownloadSymbol[] = "LW_HttpDownload";
using HttpDownloadFn = uint32_t (*)(const char* url, int timeoutMs, char* body, std::size_t capacity,
                                    std::size_t* length);

}  // namespace lw::qtmodule
