#include "sheetjob/dialogs/qt/QtPlatform.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/dialogs/FindFile.h"
#include "sheetjob/dialogs/qt/QtDialog.h"
#include "sheetjob/dialogs/qt/Templates.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace sheetjob::dialogs::qt {

QString withTrailingSeparator(const QString& folder) {
    QString native = QDir::toNativeSeparators(folder);
    if (!native.endsWith(QDir::separator()))
        native += QDir::separator();
    return native;
}

namespace {

// The widest Qt lets a message box grow (its own rule): a whole screen up to
// 1024 pixels wide, otherwise the screen less 480 pixels, at most 1000.
constexpr int kSmallScreenWidth = 1024;
constexpr int kScreenWidthKeptFree = 480;
constexpr int kMaxMessageBoxWidth = 1000;

int messageBoxWidthLimit(const QScreen* screen) {
    if (!screen)
        return kMaxMessageBoxWidth;
    const int width = screen->availableGeometry().width();
    return width <= kSmallScreenWidth ? width
                                      : std::min(width - kScreenWidthKeptFree, kMaxMessageBoxWidth);
}

// Each line of a message is one statement (one fault of the refinement, one
// folder): the box is made wide enough to show every line unbroken. Only a
// line too wide for the screen is left to wrap.
void keepLinesWhole(QMessageBox& box) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label || !box.layout())
        return;
    label->setWordWrap(false);
    const int unbroken = label->sizeHint().width();
    label->setMinimumWidth(unbroken);
    if (box.layout()->minimumSize().width() > messageBoxWidthLimit(box.screen()))
        label->setMinimumWidth(0);
}

} // namespace

QtPlatform::QtPlatform()
    : picker_([](QWidget* parent, const QString& caption,
                 const QString& directory) -> std::optional<QString> {
          const QString folder = QFileDialog::getExistingDirectory(parent, caption, directory);
          if (folder.isEmpty())
              return std::nullopt;
          return folder;
      }) {}

std::unique_ptr<Dialog> QtPlatform::createDialog(int templateId, Dialog* owner) {
    auto* parent = dynamic_cast<QtDialog*>(owner);
    return createTemplate(templateId, parent);
}

void QtPlatform::messageBox(const std::string& text, const std::string& caption, MessageIcon icon) {
    QMessageBox::Icon qicon = QMessageBox::Warning;
    if (icon == MessageIcon::Stop)
        qicon = QMessageBox::Critical;
    else if (icon == MessageIcon::Information)
        qicon = QMessageBox::Information;
    // The lines of one message are separated by carriage returns.
    QString body = fromCp1251(text);
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(qicon, fromCp1251(caption), body, QMessageBox::Ok,
                    QApplication::activeModalWidget());
    box.setObjectName(QStringLiteral("messageBox"));
    keepLinesWhole(box);
    box.exec();
}

void QtPlatform::consoleLine(const std::string& line) {
    std::cerr << common::cp1251ToUtf8(line) << '\n';
}

void QtPlatform::endProgram(int exitCode) {
    std::cerr.flush();
    std::exit(exitCode);
}

std::optional<std::string> QtPlatform::openFile(const OpenFileRequest& request) {
    const auto picked = picker_(QApplication::activeModalWidget(), fromCp1251(request.caption),
                                fromCp1251(request.initialDirectory));
    if (!picked || picked->isEmpty())
        return std::nullopt;
    const QByteArray utf8 = withTrailingSeparator(*picked).toUtf8();
    return jobFolder(*this,
                     std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                     request.caption);
}

std::string QtPlatform::currentDirectory() {
    savedDirectory_ = QDir::currentPath();
    return toCp1251(QDir::toNativeSeparators(savedDirectory_));
}

void QtPlatform::setCurrentDirectory(const std::string& path) {
    // Restore the exact directory last asked for, even when its name does not
    // survive the round trip through Windows-1251.
    if (!savedDirectory_.isEmpty() && path == toCp1251(QDir::toNativeSeparators(savedDirectory_)))
        QDir::setCurrent(savedDirectory_);
    else
        QDir::setCurrent(fromCp1251(path));
}

} // namespace sheetjob::dialogs::qt
