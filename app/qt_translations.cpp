#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace rekendo {

std::optional<QString> InstallJapaneseQtTexts(QCoreApplication& app) {
  // Dates and file types in the dialogs follow the default locale, whatever the system's.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(&app);  // owned by `app`
  if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), folder)) {
    delete translator;
    return QStringLiteral(
               "no Japanese texts for Qt (qtbase_ja.qm) in %1; install "
               "qt6-translations-l10n")
        .arg(folder);
  }
  QCoreApplication::installTranslator(translator);
  return std::nullopt;
}

}  // namespace rekendo
