#pragma once
// A main dialog wired to in-memory ports, and resources a test can extend
// with its own keyed tables.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/context/app_context.h"
#include "platform/memory/manual_clock.h"
#include "platform/memory/memory_main_dialog.h"
#include "platform/memory/memory_hex_view.h"
#include "platform/memory/memory_settings.h"
#include "platform/memory/memory_window_services.h"
#include "platform/memory/recording_message_boxes.h"
#include "core/ports/module_port.h"
#include "core/ports/update_check_port.h"
#include "resources/resource_source.h"
#include "ui/main/main_dialog.h"

namespace lw::test {

// The program's embedded resources plus keyed tables the test adds.
class TableResources final : public ResourceSource {
 public:
  void addTable(uint32_t table, const std::vector<std::pair<uint16_t, std::string>>& entries);
  std::span<const uint8_t> find(std::string_view type, uint32_t id) const override;

 private:
  std::map<std::pair<std::string, uint32_t>, std::vector<uint8_t>> tables_;
};

// Modules whose symbols the test provides by name.
class FakeModules final : public ModulePort {
 public:
  ModuleHandle load(const std::string&, uint32_t& lastError) override {
    lastError = 126;
    return nullptr;
  }
  void* symbol(ModuleHandle, const char* name) override {
    const auto it = symbols.find(name);
    return it == symbols.end() ? nullptr : it->second;
  }
  void unload(ModuleHandle) override {}
  std::map<std::string, void*> symbols;
};

class CountingUpdateCheck final : public UpdateCheckPort {
 public:
  void run(int mode) override { modes.push_back(mode); }
  std::vector<int> modes;
};

// Declares every control of the main window's layout in the dialog.
using lw::declareMainDialogControls;

struct MainDialogHarness {
  explicit MainDialogHarness(const ResourceSource* resources = nullptr);

  // Creates the dialog (hooks can be set on it before initialise()).
  MainDialog& create();
  // Creates and initialises it.
  MainDialog& open();

  MemorySettings settings;
  RecordingMessageBoxes messages;
  ManualClock clock;
  FakeModules modules;
  CountingUpdateCheck updateCheck;
  MemoryDialog dialog;
  MemoryHexView hexView;
  MemoryTimers timers;
  RecordingProgressPainter progress;
  ManualEventLoop loop;
  MemoryDeviceWatch deviceWatch;
  AppContext ctx;
  std::unique_ptr<MainDialog> main;
};

}  // namespace lw::test
