#pragma once
// The controls of the main window as plain data: kind, id, caption before the
// language table is applied, position in dialog units and initial state.
// The Qt view builds its widgets from this table; tests declare the same
// controls in their in-memory dialog.
#include <span>

namespace lw {

enum class ControlKind {
  Picture,      // the banner
  GroupBox,
  Label,
  Edit,
  HexEntry,     // edit accepting hexadecimal digits only
  ComboEdit,    // drop-down with edit field
  ComboList,    // drop-down list
  Radio,
  CheckBox,
  PushButton,
  HexView,
  StatusField,
};

struct ControlLayout {
  int id;
  ControlKind kind;
  const char* caption;
  int x, y, width, height;  // dialog units
  bool enabled = true;
  bool visible = true;
  bool checked = false;
  bool sorted = false;      // combo boxes: entries kept in text order
  bool upperCase = false;   // edits: typed letters become upper case
  bool readOnly = false;
  int textLimit = 0;        // edits: most characters, 0 = no limit
};

inline constexpr int kMainDialogWidthDu = 375;
inline constexpr int kMainDialogHeightDu = 314;
inline constexpr int kBannerBitmapId = 151;
inline constexpr int kIconId = 128;

// In creation order: group boxes come before the controls they frame.
std::span<const ControlLayout> mainDialogLayout();

// The entry for an id, or nullptr (ids are unique apart from kNone).
const ControlLayout* findControlLayout(int id);

}  // namespace lw
