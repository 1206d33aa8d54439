#include "platform/qt/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace lw {

AboutDialog::AboutDialog(QWidget* parent, const QIcon& icon, const std::string& title, const std::string& text)
    : QDialog(parent) {
  setObjectName(QStringLiteral("100"));
  setWindowTitle(QString::fromStdString(title));
  auto* iconLabel = new QLabel(this);
  iconLabel->setPixmap(icon.pixmap(32, 32));
  auto* line = new QLabel(QString::fromStdString(text), this);
  line->setObjectName(QStringLiteral("1085"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* row = new QHBoxLayout;
  row->addWidget(iconLabel, 0, Qt::AlignTop);
  row->addSpacing(12);
  row->addWidget(line, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace lw
