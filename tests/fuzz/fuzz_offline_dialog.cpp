// Fuzzes the off-line dialog's text conversions: the input is split at NUL
// bytes into what the user types into the max counter, serial string,
// serial value and start address fields, then OK is pressed. The serial
// string's conversion is also checked against its own promises.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/context/app_context.h"
#include "core/ids/language_keys.h"
#include "core/ids/offline_dialog_ids.h"
#include "platform/memory/memory_main_dialog.h"
#include "platform/memory/recording_message_boxes.h"
#include "tests/fuzz/front_loaded_resources.h"
#include "ui/dialogs/offline_dialog.h"
#include "ui/dialogs/serial_string.h"

namespace {

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "serial string invariant broken: %s\n", what);
  std::abort();
}

void checkSerialString(std::string_view utf8) {
  const lw::SerialStringBytes s = lw::serialStringBytes(utf8);
  require(s.length <= 12, "at most 12 bytes");
  require(s.bytes[s.length] == 0, "a zero ends the converted text");
  for (std::size_t i = 0; i < s.length; ++i) require(s.bytes[i] != 0, "no zero inside the text");
}

// The application and the dialog as onInit and switching the serial number
// on leave them, made once: setting the texts reads the language table,
// which cost far more than the input's own work. Each input starts from a
// copy of the dialog and of the settings with a fresh dialog logic, the
// same state onInit leaves (its max counter read back from "0").
struct Fixture {
  Fixture() {
    app.resources = &resources;
    app.ports.messages = &boxes;
    app.state.applicationName = "loomwrite";
    lw::declareOfflineDialogControls(dialog);
    settings.startAddress = kHighestStart;
    lw::OfflineDialog logic(app, settings, kHighestStart);
    logic.onInit(dialog);
    dialog.setChecked(lw::offlinedlg::kSerialEnabled, true);
    logic.onCommand(dialog, lw::offlinedlg::kSerialEnabled);
  }
  static constexpr uint32_t kHighestStart = 0xFFF0;
  // Most inputs are no number in the max counter field, and its prompt
  // looks its text up once or twice.
  lw::fuzz::FrontLoadedResources resources{lw::textkey::kMaxCounterNotANumber};
  lw::AppContext app;
  lw::RecordingMessageBoxes boxes;
  lw::MemoryDialog dialog;
  lw::OfflineSettings settings;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // An edit control's text ends at its first NUL, so the serial string's
  // conversion never sees one.
  checkSerialString(input.substr(0, input.find('\0')));

  using namespace lw::offlinedlg;
  static Fixture fixture;
  fixture.boxes.shown.clear();
  fixture.boxes.beeps.clear();
  lw::MemoryDialog dialog = fixture.dialog;
  lw::OfflineSettings settings = fixture.settings;
  lw::OfflineDialog logic(fixture.app, settings, Fixture::kHighestStart);

  std::size_t from = 0;
  for (const int id : {kMaxCounter, kSerialString, kSerialValue, kStartAddress}) {
    const std::size_t end = std::min(input.find('\0', from), input.size());
    dialog.setText(id, std::string(input.substr(std::min(from, input.size()), end - std::min(from, end))));
    logic.onChange(dialog, id);
    from = end + 1;
  }
  logic.onCommand(dialog, kOk);
  return 0;
}
