#include "sheetjob/dialogs/qt/Translations.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace sheetjob::dialogs::qt {
namespace {

// Qt Widgets' and Qt GUI's texts in Russian, from Debian's qt6-translations-l10n.
constexpr char kRussianCatalogue[] = "qtbase_ru";
// Qt 6 moved the file-type words of the folder picker ("Folder", "Drive") to a
// context of their own that the catalogue does not translate yet; it still holds
// them under their Qt 5 context.
constexpr char kFileTypeContext[] = "QAbstractFileIconProvider";
constexpr char kFileTypeContextQt5[] = "QFileDialog";

/// The catalogue, with the file-type words looked up where it keeps them.
class RussianQtTexts : public QTranslator {
  public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        QString text = QTranslator::translate(context, sourceText, disambiguation, n);
        if (text.isEmpty() && qstrcmp(context, kFileTypeContext) == 0)
            text = QTranslator::translate(kFileTypeContextQt5, sourceText, disambiguation, n);
        return text;
    }
};

} // namespace

bool installRussianQtTexts(QCoreApplication& app) {
    auto* translator = new RussianQtTexts(&app); // lives as long as the application
    if (!translator->load(QString::fromLatin1(kRussianCatalogue),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace sheetjob::dialogs::qt
