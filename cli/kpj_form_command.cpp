// kpj form: a project's request form, built by the program's own builder
// for the part selected in the main dialog, as text, picture or PDF.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/form_outputs.h"
#include "core/text.h"
#include "image/kpj_format.h"
#include "report/request_form.h"
#include "resources/embedded_resources.h"
#include "resources/part_database.h"
#include "ui/main/main_window_host.h"

namespace lw::cli {

namespace {

// The part name of the project's own Part index, when the file reads as a
// project and the part is offered; empty otherwise (the builder then says
// what is wrong with the file).
std::optional<uint16_t> projectPartIndex(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto layout = checkProjectFile(file);
  if (!layout) return std::nullopt;
  ProjectRecord record = newProjectRecord(0x0100);
  readProjectBody(file, *layout, record);
  return record.partIndex;
}

}  // namespace

int runKpjForm(const Options& o) {
  const std::string& path = o.inputs[0].path;
  JsonObject json;
  json.add("command", "kpj form").add("file", path);
  if (const int clash = refuseClashingOutputs(o); clash != kExitOk) return finish(o, json, clash, nullptr);
  ConsoleSession session(sessionSetupFor(o));
  ConsoleMessageBoxes& messages = session.messages();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || !std::ifstream(path, std::ios::binary)) {
    std::fprintf(stderr, "loomwrite-cli: %s: no such file, or it cannot be read\n", path.c_str());
    return finish(o, json, kExitFailed, &messages);
  }

  // The selected part: --part, else the project's own.
  if (!o.part.empty()) {
    if (const int opened = openOnPart(session, o); opened != kExitOk) return finish(o, json, opened, &messages);
  } else {
    const std::optional<uint16_t> own = projectPartIndex(path);
    if (own && !partIsOffered(embeddedResources(), *own)) {
      std::fprintf(stderr, "loomwrite-cli: the project's part (Part index %u) is not offered; choose one with --part NAME\n",
                   *own);
      return finish(o, json, kExitFailed, &messages);
    }
    PartRecord part;
    if (own) applyPart(embeddedResources(), *own, part);
    session.open(part.partName);
  }

  MainWindowHost& host = session.operations();
  host.codeFiles().requestAddressing = addressingOf(o);
  const FormSources sources = host.requestFormSources();
  json.add("part", session.partName());
  if (!sources.selectedPartIndex || !formLayoutFor(*sources.selectedPartIndex)) {
    std::fprintf(stderr, "loomwrite-cli: the part %s has no request form layout\n", session.partName().c_str());
    return finish(o, json, kExitFailed, &messages);
  }
  std::u16string form;
  if (!renderRequestForm(session.context(), path, sources, form)) return finish(o, json, kExitFailed, &messages);

  FormOutputs outputs = o.form;
  if (!outputs.any()) outputs.text = "-";
  if (o.json && outputs.text == "-") outputs.text.clear();  // the text goes into the object instead
  const bool written = writeFormOutputs(outputs, form, json, o.languageIndex);
  if (o.json) json.add("form", utf16ToUtf8(form));
  return finish(o, json, written ? kExitOk : kExitFailed, &messages);
}

}  // namespace lw::cli
