// kpj save: the program's "Save *.KPJ" on the loaded images; kpj show: every
// field of a project file's record, read with the program's own reader.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/form_outputs.h"
#include "core/byte_sum.h"
#include "core/codes.h"
#include "core/text.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "image/kpj_format.h"
#include "image/project_save.h"
#include "resources/embedded_resources.h"
#include "resources/language.h"
#include "resources/part_database.h"
#include "ui/main/main_window_host.h"

namespace lw::cli {

namespace {

// The project reader's message keys.

std::string text(uint16_t k) { return languageText(embeddedResources(), 0, k).value_or(""); }

std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

// A project file as its record describes it.
struct ProjectFacts {
  std::size_t fileSize = 0;
  ProjectRecordLayout layout;
  ProjectRecord record;
  std::string partName;           // empty when the part is not in the database
  std::size_t optionCount = 0;    // the part's option byte count (8 when unknown)
};

std::optional<ProjectFacts> readFacts(const std::vector<uint8_t>& file) {
  const auto layout = checkProjectFile(file);
  if (!layout) return std::nullopt;
  ProjectFacts f;
  f.fileSize = file.size();
  f.layout = *layout;
  f.record = newProjectRecord(0x0100);
  readProjectTail(file, *layout, f.record);
  readProjectBody(file, *layout, f.record);
  PartRecord part;
  part.reset();
  if (f.record.partIndex <= kMaxPartIndex) applyPart(embeddedResources(), f.record.partIndex, part);
  f.partName = part.partName;
  f.optionCount = part.partName.empty() ? 8 : std::min<std::size_t>(part.optionByteCount, kOptionBytesInBlock);
  return f;
}

std::string saveTimeText(const std::array<uint8_t, 6>& t) {
  return format("%04d-%02u-%02u %02u:%02u:%02u", 2000 + t[0], t[1], t[2], t[3], t[4], t[5]);
}

std::string magicText(const ProjectRecord& r) { return std::string(r.magic.begin(), r.magic.end()); }

std::string projectJson(const ProjectFacts& f) {
  const ProjectRecord& r = f.record;
  JsonObject j;
  j.add("file_size", static_cast<int64_t>(f.fileSize))
      .add("image_size", static_cast<int64_t>(f.layout.start))
      .add("magic", magicText(r))
      .add("code_file_name", codePageToUtf8(r.codeFileName))
      .add("code_file_name_length", static_cast<int64_t>(r.codeFileName.size()))
      .add("code_size", static_cast<int64_t>(r.codeSize))
      .add("code_checksum", static_cast<int64_t>(r.codeChecksum))
      .add("reserved32", static_cast<int64_t>(r.reserved32))
      .add("reserved16", static_cast<int64_t>(r.reserved16))
      .add("part_index", static_cast<int64_t>(r.partIndex))
      .add("part_name", f.partName)
      .add("reserved_byte", static_cast<int64_t>(r.reservedByte))
      .add("option_block_length", static_cast<int64_t>(r.optionBlockLength))
      .add("option_bytes", hexBytes(r.optionBlock.data(), f.optionCount))
      .add("option_block", hexBytes(r.optionBlock.data(), r.optionBlockLength))
      .add("reserved_block", hexBytes(r.reservedBlock.data(), r.reservedBlock.size()))
      .add("random_key", static_cast<int64_t>(r.randomKey))
      .add("reserved_c", static_cast<int64_t>(r.reservedC))
      .add("reserved_a", static_cast<int64_t>(r.reservedA))
      .add("reserved_b", static_cast<int64_t>(r.reservedB))
      .add("reserved_word1", static_cast<int64_t>(r.reservedWord1))
      .add("reserved_word2", static_cast<int64_t>(r.reservedWord2))
      .add("isp_code_name", codePageToUtf8(r.ispCodeName))
      .add("isp_code_name_length", static_cast<int64_t>(r.ispCodeName.size()))
      .add("atpg_key", static_cast<int64_t>(r.atpgKey))
      .add("save_time", saveTimeText(r.saveTime))
      .add("version", static_cast<int64_t>(r.version))
      .add("reserved_word", static_cast<int64_t>(r.reservedWord))
      .add("format_code", static_cast<int64_t>(r.formatCode))
      .add("record_checksum", static_cast<int64_t>(r.recordChecksum))
      .add("record_length", static_cast<int64_t>(r.recordLength));
  return j.str();
}

void printFacts(const ProjectFacts& f) {
  const ProjectRecord& r = f.record;
  auto line = [](const char* label, const std::string& value) { std::printf("%-22s %s\n", label, value.c_str()); };
  line("File size", format("%zu bytes (code image %zu, record %zu)", f.fileSize, f.layout.start, f.layout.length));
  line("Magic", "\"" + magicText(r) + "\"");
  line("Code file name", format("\"%s\" (%zu bytes)", codePageToUtf8(r.codeFileName).c_str(), r.codeFileName.size()));
  line("Code size", format("%u bytes", r.codeSize));
  line("Code checksum", format("0x%04X", r.codeChecksum));
  line("Reserved", format("0x%08X 0x%04X, byte 0x%02X", r.reserved32, r.reserved16, r.reservedByte));
  line("Part index", format("%u (%s)", r.partIndex, f.partName.empty() ? "not offered" : f.partName.c_str()));
  line("Option block length", format("%u bytes", r.optionBlockLength));
  line("Option bytes", hexBytes(r.optionBlock.data(), f.optionCount));
  line("Reserved block", hexBytes(r.reservedBlock.data(), r.reservedBlock.size()));
  line("Random key", format("0x%08X", r.randomKey));
  line("Reserved byte C", format("0x%02X", r.reservedC));
  line("Reserved bytes A, B", format("0x%02X 0x%02X", r.reservedA, r.reservedB));
  line("Reserved words", format("0x%04X 0x%04X", r.reservedWord1, r.reservedWord2));
  line("ISP-code name", format("\"%s\" (%zu bytes)", codePageToUtf8(r.ispCodeName).c_str(), r.ispCodeName.size()));
  line("ATPG key", format("0x%04X", r.atpgKey));
  line("Save time", saveTimeText(r.saveTime));
  line("Version", format("0x%04X", r.version));
  line("Reserved word", format("0x%04X", r.reservedWord));
  line("Format code", format("0x%02X", r.formatCode));
  line("Record checksum", format("0x%04X", r.recordChecksum));
  line("Record length L", format("%u bytes", r.recordLength));
}

}  // namespace

int runKpjShow(const Options& o) {
  JsonObject json;
  json.add("command", "kpj show").add("file", o.inputs[0].path);
  ConsoleMessageBoxes messages(false, stderr);
  const std::string& path = o.inputs[0].path;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    std::fprintf(stderr, "loomwrite-cli: %s: no such file\n", path.c_str());
    return finish(o, json, kExitFailed, &messages);
  }
  const auto file = readWholeFile(path);
  if (!file) {
    std::fprintf(stderr, "loomwrite-cli: %s: cannot be read\n", path.c_str());
    return finish(o, json, kExitFailed, &messages);
  }
  const auto facts = readFacts(*file);
  if (!facts) {
    messages.show(text(textkey::kIncompatible), text(textkey::kError), mb::kOk | mb::kIconError, BoxOwner::None);
    return finish(o, json, kExitFailed, &messages);
  }
  if (o.json) {
    json.addRaw("project", projectJson(*facts));
  } else {
    printFacts(*facts);
  }

  // Whether the program would load it, with the box it would show when not.
  const ProjectRecord& r = facts->record;
  const std::string application = std::filesystem::path(programPath()).stem().string();
  int status = kExitOk;
  if (!hasProjectMagic(r)) {
    messages.show(text(textkey::kNotAProject), application, mb::kOkCancel | mb::kIconError, BoxOwner::None);
    status = kExitFailed;
  } else if (r.version > kProjectVersion) {
    messages.show(text(textkey::kNewerEdition), application, mb::kOkCancel | mb::kIconError, BoxOwner::None);
    status = kExitFailed;
  } else if (facts->layout.start == 0) {
    std::fprintf(stderr, "loomwrite-cli: %s holds no code image\n", path.c_str());
    status = kExitFailed;
  } else if (!partIsOffered(embeddedResources(), r.partIndex)) {
    messages.show(text(textkey::kTargetNotSupported), text(textkey::kError), mb::kOk | mb::kIconError,
                  BoxOwner::None);
    status = kExitFailed;
  }
  return finish(o, json, status, &messages);
}

int runKpjSave(const Options& o) {
  JsonObject json;
  json.add("command", "kpj save").add("file", o.output);
  if (const int clash = refuseClashingOutputs(o); clash != kExitOk) return finish(o, json, clash, nullptr);
  ConsoleSession session(sessionSetupFor(o));
  ConsoleMessageBoxes& messages = session.messages();
  if (const int opened = openOnPart(session, o); opened != kExitOk) return finish(o, json, opened, &messages);
  if (const int loaded = loadInputs(session, o); loaded != kExitOk) return finish(o, json, loaded, &messages);
  if (const std::string wrong = session.applyOptions(o.options); !wrong.empty())
    return finish(o, json, usageError(wrong), &messages);

  session.files().savePath = o.output;
  // The KPJ Dialog's OK, when the form's address block or outputs are given.
  if (o.addressingGiven() || o.form.any()) session.kpjDialogAnswer = addressingOf(o);
  if (!saveProjectCommand(session.operations())) return finish(o, json, kExitFailed, &messages);

  const auto file = readWholeFile(o.output);
  const auto facts = file ? readFacts(*file) : std::nullopt;
  if (!facts) {
    std::fprintf(stderr, "loomwrite-cli: %s: the saved project does not read back\n", o.output.c_str());
    return finish(o, json, kExitFailed, &messages);
  }
  if (o.json) {
    json.addRaw("project", projectJson(*facts));
  } else {
    std::printf("%s\n%s\n%s\n", o.output.c_str(), session.sizeText().c_str(), session.checksumText().c_str());
    std::printf("Part index %u (%s), option bytes %s, record %u bytes\n", facts->record.partIndex,
                facts->partName.c_str(), hexBytes(facts->record.optionBlock.data(), facts->optionCount).c_str(),
                facts->record.recordLength);
  }
  if (o.form.any()) {
    if (!session.shownForm || session.shownForm->empty()) {
      std::fprintf(stderr, "loomwrite-cli: the part %s has no request form layout, no form was made\n",
                   session.partName().c_str());
      return finish(o, json, kExitFailed, &messages);
    }
    if (!writeFormOutputs(o.form, *session.shownForm, json, o.languageIndex)) return finish(o, json, kExitFailed, &messages);
  }
  return finish(o, json, kExitOk, &messages);
}

}  // namespace lw::cli
