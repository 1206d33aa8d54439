#pragma once
// Qt's own texts in the language of the program's tables: the buttons of
// message boxes, the file and print dialogs, the edit fields' menus. They
// come from Qt's translations (Debian's qt6-translations-l10n); where those
// are not installed, Qt's texts stay English and everything else follows.
// The dialog font takes the CJK faces the package recommends.
#include <QFont>
#include <QStringList>
#include <cstdint>
#include <memory>

class QTranslator;

namespace lw {

class QtLanguage {
 public:
  QtLanguage();
  ~QtLanguage();
  QtLanguage(const QtLanguage&) = delete;
  QtLanguage& operator=(const QtLanguage&) = delete;

  // Installs the translation of a Language index (none for English). A
  // change reaches the open windows through Qt's LanguageChange event.
  void apply(uint16_t languageIndex);
  // Whether Qt's translation for the language in use was found.
  bool translated() const { return translator_ != nullptr; }

 private:
  std::unique_ptr<QTranslator> translator_;
};

// The font with a Simplified Chinese face for the characters its own face
// lacks, so that Chinese never falls to a Japanese or Traditional face.
QFont withChineseFallback(const QFont& font);
// The dialog font of every window: Tahoma 9 or the nearest face with its
// metrics, with the Chinese fallback.
QFont dialogFont();
// The Chinese faces it asks for, in order; a test may narrow them to one.
QStringList dialogCjkFamilies();
void setDialogCjkFamilies(const QStringList& families);

}  // namespace lw
