#pragma once
// Reading the Code buffer from the hex view and handing it a new image.
// The view owns the bytes; readers take their own copy.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lw {

class CodeFileHost;
class HexViewPort;

// The current length of the Code buffer (0 when empty).
uint32_t codeBufferLength(HexViewPort& view);

// A copy of the first `length` bytes of the Code buffer.
std::vector<uint8_t> fetchCodeBuffer(HexViewPort& view, uint32_t length);

// Puts a loaded image in place: the Part record's code size and checksum
// follow the image, the size and checksum fields are emptied, the status
// line shows the file's path, and the view is cleared and given the bytes.
void showLoadedImage(CodeFileHost& host, const std::string& path, std::span<const uint8_t> image);

}  // namespace lw
