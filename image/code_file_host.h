#pragma once
// What loading, reading and saving code files need from the main dialog.
// The main dialog implements CodeFileHost and owns one CodeFileState; the
// flows in image/ (load_file_command.h, code_loader.h, auto_reload.h,
// project_reader.h, project_save.h) take the host and do the rest.
#include <cstdint>
#include <optional>
#include <string>

#include "core/ids/main_dialog_ids.h"
#include "image/load_area.h"
#include "image/project_record.h"
#include "image/request_addressing.h"

namespace lw {

struct AppContext;
class DialogPort;
class HexViewPort;

// Keeps Auto Reload Code from looping: a reload that had to show a box is
// not repeated, when the window is activated again as the box closes,
// until the file changes on disk; and no reload starts while a load runs.
struct AutoReloadGuard {
  bool running = false;
  bool held = false;
  uintmax_t heldSize = 0;
  int64_t heldModified = 0;
};

// The main dialog's code-file state.
struct CodeFileState {
  ProjectRecord project = newProjectRecord(0x0100);
  std::string lastLoadedPath;  // last file chosen with Load File; Auto Reload reloads it
  uint32_t loadOffset = 0;     // where the next raw or HEX image goes
  RequestAddressing requestAddressing;
  AutoReloadGuard autoReload;
};

class CodeFileHost {
 public:
  virtual ~CodeFileHost() = default;

  // Program-wide state (Part record, language), ports (message boxes,
  // settings, file dialogs, clock) and resources.
  virtual AppContext& context() = 0;
  // The main dialog's controls: status line 1046, size 1047, checksum 1048,
  // Auto Reload Code 1149.
  virtual DialogPort& dialog() = 0;
  // The hex view holding the Code buffer.
  virtual HexViewPort& hexView() = 0;
  virtual CodeFileState& codeFiles() = 0;

  // Selects, in the series box, the series that the part's descriptor names
  // (key 21), lists that series' parts, and selects the entry carrying the
  // Part index (searching from the last entry down; none when absent).
  virtual void selectSeriesAndPart(uint16_t partIndex) = 0;
  // Selects the entry of the part box carrying the Part index, or clears
  // the selection when no entry does.
  virtual void selectPartEntry(uint16_t partIndex) = 0;
  // Marks the applied part as 0xFFFE and chooses the selected part: applies
  // it to the Part record, resets the project record, empties the Code
  // buffer and the three status fields.
  virtual void choosePartForced() = 0;
  // Sets up the option check boxes (unchecking them) and shows the Part
  // record's option bytes in them and in the IWDG counter field.
  virtual void showProjectOptionBytes() = 0;
  // Reads the option check boxes and the IWDG counter field back into the
  // Part record's option bytes.
  virtual void readOptionCheckBoxes() = 0;

  // Shows the "Select AP/IAP area" dialog offering the address; nothing when
  // it was cancelled.
  virtual std::optional<LoadArea> askLoadArea(uint32_t proposedAddress) = 0;
  // Shows the KPJ Dialog; nothing when it was cancelled.
  virtual std::optional<RequestAddressing> askRequestAddressing() = 0;
  // Builds the request form of the saved project file for the selected
  // part and shows it in the Form list dialog.
  virtual void showRequestForm(const std::string& projectPath) = 0;
};

}  // namespace lw
