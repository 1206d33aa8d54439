#include "platform/qt/qt_url_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace lw {

void QtUrlOpener::open(const std::string& url) {
  const QUrl page(QString::fromStdString(url), QUrl::StrictMode);
  // Only web pages: a file: or other scheme would start a local program.
  if (page.isValid() && (page.scheme() == QLatin1String("http") || page.scheme() == QLatin1String("https")))
    QDesktopServices::openUrl(page);
}

}  // namespace lw
