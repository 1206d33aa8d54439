#include "platform/qt/qt_language.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "core/ids/language_keys.h"

namespace lw {

namespace {

QStringList& cjkFamilies() {
  // fonts-wqy-microhei and fonts-noto-cjk, as the package recommends them.
  static QStringList families = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")};
  return families;
}

}  // namespace

QtLanguage::QtLanguage() = default;

QtLanguage::~QtLanguage() {
  if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

void QtLanguage::apply(uint16_t languageIndex) {
  if (translator_) {
    QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
  }
  if (languageIndex != language::kSimplifiedChinese) return;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return;
  QCoreApplication::installTranslator(translator.get());
  translator_ = std::move(translator);
}

QFont withChineseFallback(const QFont& font) {
  // The face the font resolves to stays first: a name fontconfig would
  // substitute (Arial, Impact) is not matched by a list on its own.
  QStringList families = font.families().isEmpty() ? QStringList{font.family()} : font.families();
  families << QFontInfo(font).family() << cjkFamilies();
  QFont out = font;
  out.setFamilies(families);
  return out;
}

QFont dialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setPointSize(9);
  return withChineseFallback(font);
}

QStringList dialogCjkFamilies() { return cjkFamilies(); }

void setDialogCjkFamilies(const QStringList& families) { cjkFamilies() = families; }

}  // namespace lw
