#pragma once
// A main dialog stand-in for the code-file flows: real resources and part
// database, in-memory ports, a hex view and status fields kept in memory,
// and part selection that behaves like the main dialog's.
#include <array>
#include <atomic>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/context/app_context.h"
#include "image/code_file_host.h"
#include "platform/memory/manual_clock.h"
#include "platform/memory/memory_settings.h"
#include "platform/memory/recording_message_boxes.h"
#include "core/ports/file_dialog_port.h"
#include "resources/embedded_resources.h"
#include "resources/part_database.h"
#include "platform/memory/memory_dialog.h"
#include "tests/code_files/fake_hex_view.h"

namespace lw::test {


// The main dialog's controls the code-file flows touch.
inline MemoryDialog mainDialogControls() {
  MemoryDialog d;
  d.addControl(mainid::kStatusLine, MemoryControlKind::Static);
  d.addControl(mainid::kSizeField, MemoryControlKind::Static);
  d.addControl(mainid::kChecksumField, MemoryControlKind::Static);
  d.addControl(mainid::kAutoReload, MemoryControlKind::CheckBox);
  return d;
}

class FakeFileDialogs final : public FileDialogPort {
 public:
  std::optional<std::string> openFile(const std::string& initialPath, const std::vector<FileFilter>& filters) override {
    ++openCalls;
    lastInitial = initialPath;
    lastFilters = filters;
    return nextOpen;
  }
  std::optional<std::string> saveFile(const std::string& initialPath, const std::vector<FileFilter>& filters,
                                      const std::string& defaultExtension) override {
    ++saveCalls;
    lastInitial = initialPath;
    lastFilters = filters;
    lastDefaultExtension = defaultExtension;
    return nextSave;
  }
  std::optional<std::string> nextOpen, nextSave;
  std::string lastInitial, lastDefaultExtension;
  std::vector<FileFilter> lastFilters;
  int openCalls = 0, saveCalls = 0;
};

class FakeHost final : public CodeFileHost {
 public:
  static constexpr uint32_t kLarchSeries = 6;

  FakeHost() {
    ctx.resources = &embeddedResources();
    ctx.ports.messages = &boxes;
    ctx.ports.settings = &settings;
    ctx.ports.files = &files;
    ctx.ports.clock = &clock;
    ctx.state.applicationName = "loomwrite";
    ctx.state.programPath = "/opt/loomwrite/loomwrite";
  }

  AppContext& context() override { return ctx; }
  DialogPort& dialog() override { return mainDialog; }
  HexViewPort& hexView() override { return view; }
  CodeFileState& codeFiles() override { return state; }

  void selectSeriesAndPart(uint16_t partIndex) override {
    seriesSelections.push_back(partIndex);
    selectPartEntry(partIndex);
  }
  void selectPartEntry(uint16_t partIndex) override {
    selected.reset();
    for (const PartEntry& p : seriesParts()) {
      if (p.partIndex == partIndex) selected = partIndex;
    }
  }
  // The part box's list. Listing a series walks every Part index; for a
  // resource source that lives as long as the process (the embedded one,
  // or one a fuzz target marks with partListLasts) it is walked once.
  std::vector<PartEntry> seriesParts() const {
    if (ctx.resources != &embeddedResources() && !partListLasts) return partsOfSeries(*ctx.resources, kLarchSeries);
    static std::mutex guard;
    static std::map<const ResourceSource*, std::vector<PartEntry>> kept;
    const std::lock_guard<std::mutex> lock(guard);
    auto [list, fresh] = kept.try_emplace(ctx.resources);
    if (fresh) list->second = partsOfSeries(*ctx.resources, kLarchSeries);
    return list->second;
  }
  void choosePartForced() override {
    ++partChoices;
    applyPart(*ctx.resources, selected.value_or(0), ctx.state.part);
    resetProjectRecord(state.project, ctx.state.reservedWordDefault);
    view.send(hexmsg::kCommand, hexmsg::kClear, 0);
    view.send(hexmsg::kFlashSize, ctx.state.part.flashSize, 0);
    for (const int id : {mainid::kChecksumField, mainid::kSizeField, mainid::kStatusLine}) mainDialog.setText(id, "");
  }
  void showProjectOptionBytes() override {
    ++optionShows;
    shownOptionBytes = ctx.state.part.optionBytes;
  }
  void readOptionCheckBoxes() override {
    ++optionReads;
    if (optionBytesFromBoxes) ctx.state.part.optionBytes = *optionBytesFromBoxes;
  }
  std::optional<LoadArea> askLoadArea(uint32_t proposedAddress) override {
    proposedAddresses.push_back(proposedAddress);
    if (whileAreaDialogOpen) whileAreaDialogOpen();
    return areaAnswer;
  }
  std::optional<RequestAddressing> askRequestAddressing() override {
    ++kpjDialogs;
    return addressingAnswer;
  }
  void showRequestForm(const std::string& projectPath) override { shownForms.push_back(projectPath); }

  // Applies a part the way choosing it in the part box does.
  void choosePart(uint16_t partIndex) {
    selectPartEntry(partIndex);
    choosePartForced();
  }
  // Puts bytes into the view as if they had been loaded or typed.
  void setBuffer(std::vector<uint8_t> bytes) {
    view.content = std::move(bytes);
    ctx.state.part.codeSize = static_cast<uint32_t>(view.content.size());
    ctx.state.part.codeChecksum = codeChecksum(view.content.data(), view.content.size());
  }

  AppContext ctx;
  RecordingMessageBoxes boxes;
  MemorySettings settings;
  FakeFileDialogs files;
  ManualClock clock;
  FakeHexView view;
  MemoryDialog mainDialog = mainDialogControls();
  CodeFileState state;

  std::optional<uint16_t> selected;
  bool partListLasts = false;  // ctx.resources lives as long as the process
  std::vector<uint16_t> seriesSelections;
  int partChoices = 0, optionShows = 0, optionReads = 0, kpjDialogs = 0;
  std::vector<std::string> shownForms;  // project paths whose request form was shown
  std::array<uint8_t, kOptionBufferSize> shownOptionBytes{};
  std::optional<std::array<uint8_t, kOptionBufferSize>> optionBytesFromBoxes;
  std::optional<LoadArea> areaAnswer = LoadArea{0, false, true};
  std::vector<uint32_t> proposedAddresses;
  std::function<void()> whileAreaDialogOpen;  // e.g. the window being activated
  std::optional<RequestAddressing> addressingAnswer;
};

// A fresh directory below the system's temporary directory, removed at the end.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("lw_code_files_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(file(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file(name);
  }
  std::string write(const std::string& name, const std::string& text) const {
    return write(name, std::vector<uint8_t>(text.begin(), text.end()));
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
    return names;
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace lw::test
