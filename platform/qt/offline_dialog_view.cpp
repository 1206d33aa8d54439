#include "platform/qt/offline_dialog_view.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/hex_entry_validator.h"
#include "ui/dialogs/offline_dialog.h"

namespace lw {

namespace {

using namespace offlinedlg;

QLabel* label(const char* text, Qt::Alignment alignment = Qt::AlignLeft) {
  auto* l = new QLabel(QString::fromUtf8(text));
  l->setAlignment(alignment | Qt::AlignVCenter);
  return l;
}

QPushButton* pushButton(const char* text, bool isDefault) {
  auto* button = new QPushButton(QString::fromUtf8(text));
  button->setDefault(isDefault);
  button->setAutoDefault(false);
  return button;
}

QLineEdit* hexEntryField(bool readOnly) {
  auto* field = new QLineEdit;
  field->setValidator(new HexEntryValidator(field));
  field->setReadOnly(readOnly);
  return field;
}

}  // namespace

QtOfflineDialogView::QtOfflineDialogView(QWidget* parent, OfflineDialog& logic) : QtControlDialog(parent, 198, 148) {
  setWindowTitle("Set Max Counter & Serial Number");
  auto* maxCounter = new QLineEdit;
  maxCounter->setAlignment(Qt::AlignHCenter);
  addControl(kMaxCounterLabel, label("Max Counter"), 12, 10, 70, 8);
  addControl(kMaxCounter, maxCounter, 86, 8, 60, 12);
  addControl(kSerialEnabled, new QCheckBox("Enable SerialNumber"), 12, 28, 120, 10);
  addControl(kStringLabel, label("String"), 22, 44, 50, 8);
  addControl(kSerialString, new QLineEdit, 86, 42, 100, 12);
  addControl(kNumberLabel, label("Number"), 22, 60, 52, 8);
  addStatic(label("0x", Qt::AlignRight), 74, 60, 11, 8);
  addControl(kSerialValue, hexEntryField(false), 86, 58, 52, 12);
  addControl(kAutoIncrement, new QCheckBox("Auto Increment Number"), 22, 75, 120, 10);
  addControl(kStartAddressLabel, label("Start Address"), 22, 92, 52, 8);
  addStatic(label("0x", Qt::AlignRight), 74, 92, 11, 8);
  addControl(kStartAddress, hexEntryField(false), 86, 90, 52, 12);
  addControl(kEndAddressLabel, label("End Address"), 22, 108, 52, 8);
  addStatic(label("0x", Qt::AlignRight), 74, 108, 11, 8);
  addControl(kEndAddress, hexEntryField(true), 86, 106, 52, 12);
  addControl(kOk, pushButton("Ok", true), 36, 127, 50, 14);
  addControl(kCancel, pushButton("Cancel", false), 112, 127, 50, 14);

  // Only the user's edits are forwarded: the logic runs the change handling
  // itself for the texts it sets.
  for (const int id : {kMaxCounter, kSerialString, kSerialValue, kStartAddress}) {
    auto* edit = static_cast<QLineEdit*>(control(id));
    QObject::connect(edit, &QLineEdit::textEdited, this, [this, &logic, id] { logic.onChange(controls(), id); });
  }
  setCommandHandler([this, &logic](int id) { logic.onCommand(controls(), id); });
  logic.onInit(controls());
}

bool editOfflineSettingsQt(QWidget* parent, AppContext& ctx, OfflineSettings& settings, uint32_t highestStartAddress) {
  OfflineDialog logic(ctx, settings, highestStartAddress);
  QtOfflineDialogView view(parent, logic);
  return view.exec() == kResultOk;
}

}  // namespace lw
