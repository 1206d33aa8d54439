#pragma once
// The About box: the program icon, one line of text (control 1085) and OK.
#include <QDialog>
#include <string>

namespace lw {

class AboutDialog final : public QDialog {
  Q_OBJECT

 public:
  AboutDialog(QWidget* parent, const QIcon& icon, const std::string& title, const std::string& text);
};

}  // namespace lw
