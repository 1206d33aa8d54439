#include "platform/qt/code_file_dialog_views.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "platform/qt/hex_entry_validator.h"
#include "ui/dialogs/area_dialog.h"
#include "ui/dialogs/kpj_dialog.h"

namespace lw {

namespace {

QPushButton* pushButton(const char* text, bool isDefault) {
  auto* button = new QPushButton(QString::fromUtf8(text));
  button->setDefault(isDefault);
  button->setAutoDefault(false);
  return button;
}

// The hex entry field, filtered like the main window's counter field.
QLineEdit* hexEntryField() {
  auto* field = new QLineEdit;
  field->setValidator(new HexEntryValidator(field));
  return field;
}

QLabel* label(const char* text, Qt::Alignment alignment) {
  auto* l = new QLabel(QString::fromUtf8(text));
  l->setAlignment(alignment | Qt::AlignVCenter);
  return l;
}

}  // namespace

QtAreaDialogView::QtAreaDialogView(QWidget* parent, AreaDialog& logic) : QtControlDialog(parent, 127, 81) {
  setWindowTitle("Select AP/IAP area");
  addControl(areadlg::kApRadio, new QRadioButton("AP (Code)"), 29, 7, 48, 10);
  addControl(areadlg::kIapRadio, new QRadioButton("IAP (Data)"), 29, 19, 44, 10);
  addControl(areadlg::kAddressLabel, label("Address : 0x", Qt::AlignRight), 39, 33, 39, 8);
  addControl(areadlg::kAddressField, hexEntryField(), 80, 31, 40, 12);
  addControl(areadlg::kClearBuffer, new QCheckBox("Clear Buffer"), 30, 49, 61, 8);
  addControl(areadlg::kOk, pushButton("OK", true), 17, 63, 42, 11);
  addControl(areadlg::kCancel, pushButton("Cancel", false), 67, 63, 42, 11);
  setCommandHandler([this, &logic](int id) { logic.onCommand(controls(), id); });
  logic.onInit(controls());
}

QtKpjDialogView::QtKpjDialogView(QWidget* parent, KpjDialog& logic) : QtControlDialog(parent, 187, 108) {
  // The title, the prompt and the labels come from the logic.
  addControl(kpjdlg::kPromptLabel, label("", Qt::AlignHCenter), 12, 8, 164, 24);
  addControl(kpjdlg::kToLabel, label("", Qt::AlignLeft), 31, 42, 12, 8);
  addControl(kpjdlg::kFromLabel, label("", Qt::AlignLeft), 23, 56, 20, 8);
  addControl(kpjdlg::kPartNoLabel, label("", Qt::AlignLeft), 16, 70, 27, 7);
  addControl(kpjdlg::kToField, new QLineEdit, 46, 40, 115, 12);
  addControl(kpjdlg::kFromField, new QLineEdit, 46, 54, 115, 12);
  addControl(kpjdlg::kPartNoField, new QLineEdit, 46, 68, 115, 12);
  addControl(kpjdlg::kOk, pushButton("OK", true), 31, 88, 50, 14);
  addControl(kpjdlg::kCancel, pushButton("Cancel", false), 105, 88, 50, 14);
  setCommandHandler([this, &logic](int id) { logic.onCommand(controls(), id); });
  logic.onInit(controls());
}

std::optional<LoadArea> askLoadAreaQt(QWidget* parent, const ResourceSource& resources, uint16_t languageIndex,
                                      uint32_t proposedAddress) {
  AreaDialog logic(resources, languageIndex, proposedAddress);
  QtAreaDialogView view(parent, logic);
  if (view.exec() != areadlg::kOk) return std::nullopt;
  return logic.result();
}

std::optional<RequestAddressing> askRequestAddressingQt(QWidget* parent, const ResourceSource& resources,
                                                       uint16_t languageIndex) {
  KpjDialog logic(resources, languageIndex);
  QtKpjDialogView view(parent, logic);
  if (view.exec() != kpjdlg::kOk) return std::nullopt;
  return logic.result();
}

}  // namespace lw
