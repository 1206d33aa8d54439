#include "tests/main_window/test_support.h"

#include "core/text.h"
#include "resources/embedded_resources.h"
#include "resources/keyed_table.h"
#include "ui/main/main_dialog_layout.h"

namespace lw::test {

void TableResources::addTable(uint32_t table, const std::vector<std::pair<uint16_t, std::string>>& entries) {
  std::vector<uint8_t> bytes;
  auto put16 = [&bytes](uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  };
  for (const auto& [key, text] : entries) {
    put16(key);
    for (char16_t c : utf8ToUtf16(text)) put16(c);
    put16(0);
  }
  put16(kTableEnd);
  tables_[{kKeyedTableType, table}] = std::move(bytes);
}

std::span<const uint8_t> TableResources::find(std::string_view type, uint32_t id) const {
  const auto it = tables_.find({std::string(type), id});
  if (it != tables_.end()) return it->second;
  return embeddedResources().find(type, id);
}

MainDialogHarness::MainDialogHarness(const ResourceSource* resources) {
  ctx.resources = resources ? resources : &embeddedResources();
  ctx.ports.messages = &messages;
  ctx.ports.settings = &settings;
  ctx.ports.clock = &clock;
  ctx.ports.modules = &modules;
  ctx.ports.updateCheck = &updateCheck;
  ctx.state.applicationName = "loomwrite";
  declareMainDialogControls(dialog);
}

MainDialog& MainDialogHarness::create() {
  MainDialogPorts ports;
  ports.dialog = &dialog;
  ports.hexView = &hexView;
  ports.timers = &timers;
  ports.progress = &progress;
  ports.eventLoop = &loop;
  ports.deviceWatch = &deviceWatch;
  main = std::make_unique<MainDialog>(ctx, ports);
  hexView.setNotify([this](int id, int code) { main->onCommand(id, code); });
  return *main;
}

MainDialog& MainDialogHarness::open() {
  create();
  main->initialise();
  return *main;
}

}  // namespace lw::test
