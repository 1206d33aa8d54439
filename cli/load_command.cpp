// load: every file through the program's loader into one Code buffer.
#include <cstdio>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "core/byte_sum.h"
#include "image/image_file_writer.h"

namespace lw::cli {

int runLoad(const Options& o) {
  JsonObject json;
  json.add("command", "load");
  if (const int clash = refuseClashingOutputs(o); clash != kExitOk) return finish(o, json, clash, nullptr);
  ConsoleSession session(sessionSetupFor(o));
  if (const int opened = openOnPart(session, o); opened != kExitOk) return finish(o, json, opened, &session.messages());
  if (const int loaded = loadInputs(session, o); loaded != kExitOk)
    return finish(o, json, loaded, &session.messages());
  if (const int code = requireLoadedCode(session); code != kExitOk) return finish(o, json, code, &session.messages());

  const std::vector<uint8_t> buffer = session.codeBuffer();
  const std::string sizeText = session.sizeText();
  const std::string checksumText = session.checksumText();
  if (!o.output.empty()) {
    const FileReplaceResult written = writeImageFile(o.output, buffer, *o.outputFormat);
    if (!written.ok) {
      std::fprintf(stderr, "loomwrite-cli: %s: cannot be written: %s\n", o.output.c_str(), written.detail.c_str());
      return finish(o, json, kExitFailed, &session.messages());
    }
  }
  if (!o.json) std::printf("%s\n%s\n", sizeText.c_str(), checksumText.c_str());
  json.add("part", session.partName())
      .add("size", static_cast<int64_t>(buffer.size()))
      .add("checksum", static_cast<int64_t>(codeChecksum(buffer.data(), buffer.size())))
      .add("size_text", sizeText)
      .add("checksum_text", checksumText);
  if (!o.output.empty()) json.add("out", o.output);
  return finish(o, json, kExitOk, &session.messages());
}

}  // namespace lw::cli
