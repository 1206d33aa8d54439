#include "image/code_buffer_access.h"

#include "core/context/app_context.h"
#include "core/byte_sum.h"
#include "image/code_file_host.h"
#include "core/ports/dialog_port.h"
#include "core/ports/hex_view_port.h"

namespace lw {

uint32_t codeBufferLength(HexViewPort& view) {
  return static_cast<uint32_t>(view.send(hexmsg::kData, 0, 0));
}

std::vector<uint8_t> fetchCodeBuffer(HexViewPort& view, uint32_t length) {
  if (length == 0) return {};
  // One byte more than asked for, as the view's copy-out expects.
  std::vector<uint8_t> bytes(static_cast<std::size_t>(length) + 1, 0xFF);
  view.send(hexmsg::kData, reinterpret_cast<uintptr_t>(bytes.data()), static_cast<intptr_t>(length));
  bytes.resize(length);
  return bytes;
}

void showLoadedImage(CodeFileHost& host, const std::string& path, std::span<const uint8_t> image) {
  PartRecord& part = host.context().state.part;
  part.codeSize = static_cast<uint32_t>(image.size());
  part.codeChecksum = codeChecksum(image.data(), image.size());
  DialogPort& dialog = host.dialog();
  dialog.setText(mainid::kChecksumField, "");
  dialog.setText(mainid::kSizeField, "");
  dialog.setText(mainid::kStatusLine, path);
  HexViewPort& view = host.hexView();
  view.send(hexmsg::kCommand, hexmsg::kClear, 0);
  view.send(hexmsg::kReplace, reinterpret_cast<uintptr_t>(image.data()), static_cast<intptr_t>(image.size()));
}

}  // namespace lw
