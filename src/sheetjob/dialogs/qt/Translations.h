#pragma once
// Qt's own texts (the folder picker, the standard buttons of message boxes, the
// fields' context menus) in Russian, so that they match the dialogs' own texts.

class QCoreApplication;

namespace sheetjob::dialogs::qt {

/// Installs Qt's Russian catalogue on the application, whatever the user's
/// locale: the dialogs are Russian in every locale, and so must be Qt's parts of
/// them. The dialogs' own texts ("OK", "Cancel", "Test") are not translated.
/// False when the catalogue is missing; Qt's texts then stay English.
bool installRussianQtTexts(QCoreApplication& app);

} // namespace sheetjob::dialogs::qt
