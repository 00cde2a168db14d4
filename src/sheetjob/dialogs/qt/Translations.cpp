#include "sheetjob/dialogs/qt/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace sheetjob::dialogs::qt {
namespace {

// Qt Widgets' and Qt GUI's texts in Russian, from Debian's qt6-translations-l10n.
constexpr char kRussianCatalogue[] = "qtbase_ru";

} // namespace

bool installRussianQtTexts(QCoreApplication& app) {
    auto* translator = new QTranslator(&app); // lives as long as the application
    if (!translator->load(QString::fromLatin1(kRussianCatalogue),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace sheetjob::dialogs::qt
