#pragma once
// Shared by the offscreen dialog tests: the one test application (with Qt's
// Russian texts, as in the program), lookup of controls by id, user input, a
// driver that plays the user on modal widgets, and PNG pictures of them.

#include "sheetjob/dialogs/Controls.h"
#include "sheetjob/dialogs/qt/QtDialog.h"
#include "sheetjob/dialogs/qt/Translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace sheetjob::dialogs::qt::testsupport {

struct TestApplication {
    QApplication* application;
    bool russianQtTexts; ///< Qt's Russian catalogue was found and installed
};

inline TestApplication& testApplication() {
    // Offscreen rendering finds no system fonts by itself.
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/dejavu");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_dialogs_qt";
    static char* argv[] = {name, nullptr};
    // Never destroyed: a QApplication torn down among the static destructors
    // outlives the platform plugin it needs.
    static TestApplication instance = [] {
        auto* application = new QApplication(argc, argv);
        return TestApplication{application, installRussianQtTexts(*application)};
    }();
    return instance;
}

inline QApplication& app() { return *testApplication().application; }

inline QString q(std::string_view cp1251) { return fromCp1251(std::string(cp1251)); }

/// Saves a picture of the widget as <name>.png beside the test executable.
inline void savePicture(QWidget* widget, const QString& name) {
    const QString path =
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + name + QStringLiteral(".png");
    EXPECT_TRUE(widget->grab().save(path)) << path.toStdString();
}

template <typename T> T* find(QWidget* dialog, int id) {
    auto* widget = dialog->findChild<T*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
}

/// The control id of a widget ("id1013" gives 1013), 0 for anything else.
inline int idOf(const QWidget* widget) {
    if (!widget || !widget->objectName().startsWith(QStringLiteral("id")))
        return 0;
    return widget->objectName().mid(2).toInt();
}

inline void click(QWidget* dialog, int id) {
    QTest::mouseClick(find<QAbstractButton>(dialog, id), Qt::LeftButton);
}

/// Enter on whatever has the keyboard focus.
inline void pressEnter(Qt::Key key = Qt::Key_Return) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << "nothing has the focus";
    QTest::keyClick(focused, key);
}

/// Makes the dialog the active window again after a nested box or dialog has
/// closed: a window manager does that, but offscreen there is none.
inline void activateAgain(QWidget* dialog) {
    if (!dialog->window()->isActiveWindow())
        dialog->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog->window()));
}

/// Tabs through the dialog until the control has the focus (at most one round
/// of the dialog's controls).
inline void tabTo(QWidget* dialog, int id) {
    activateAgain(dialog);
    constexpr int kMaxTabs = 64; // more than any template's controls
    for (int i = 0; i < kMaxTabs && idOf(QApplication::focusWidget()) != id; ++i)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog,
                        Qt::Key_Tab);
    ASSERT_EQ(idOf(QApplication::focusWidget()), id) << "Tab never reaches control " << id;
}

/// The user's choice in a list: a change of the current item, as the popup makes it.
inline void choose(QWidget* dialog, int id, int item) {
    find<QComboBox>(dialog, id)->setCurrentIndex(item - 1);
}

inline void type(QWidget* dialog, int id, const QString& text) {
    QLineEdit* edit = find<QLineEdit>(dialog, id);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

/// Plays the user on the modal widgets as they come: each step waits for the
/// widget of its name (object name, or class name for Qt's own dialogs) to be
/// the active modal one, then acts on it. The next poll is scheduled before a
/// step acts, so a step may open a nested dialog.
class ModalDriver {
  public:
    using Action = std::function<void(QWidget*)>;
    void then(const QString& name, Action action) { steps_.push_back({name, std::move(action)}); }
    void start() {
        QTimer::singleShot(0, &context_, [this] { poll(); });
    }
    [[nodiscard]] bool finished() const { return steps_.empty(); }
    [[nodiscard]] QString waitingFor() const {
        return steps_.empty() ? QString() : steps_.front().first;
    }

  private:
    static constexpr int kPollMs = 10;         // how often the driver looks
    static constexpr int kPatiencePolls = 300; // 3 s: far more than any step's own waits

    static bool isNamed(const QWidget* widget, const QString& name) {
        return widget->objectName() == name ||
               QString::fromLatin1(widget->metaObject()->className()) == name;
    }

    void poll() {
        QTimer::singleShot(kPollMs, &context_, [this] { poll(); });
        QWidget* active = QApplication::activeModalWidget();
        // A user acts on the window that has become active, whose focus is set.
        if (!active || !active->isVisible() || !active->isActiveWindow()) {
            strayPolls_ = 0;
            return;
        }
        if (!steps_.empty() && isNamed(active, steps_.front().first)) {
            strayPolls_ = 0;
            auto step = std::move(steps_.front());
            steps_.pop_front();
            step.second(active);
            return;
        }
        // A modal widget that no step answers would wait for ever: the test
        // fails and the widget is closed, so that the test ends.
        if (++strayPolls_ < kPatiencePolls)
            return;
        strayPolls_ = 0;
        ADD_FAILURE() << "unexpected modal widget " << active->objectName().toStdString() << " ("
                      << active->metaObject()->className() << ") while waiting for "
                      << waitingFor().toStdString();
        active->close();
    }
    std::deque<std::pair<QString, Action>> steps_;
    int strayPolls_ = 0;
    QObject context_; ///< pending polls die with the driver
};

inline const QString kParameters = QStringLiteral("template101");
inline const QString kRefinement = QStringLiteral("template113");
inline const QString kStart = QStringLiteral("template106");
inline const QString kMessage = QStringLiteral("messageBox");

} // namespace sheetjob::dialogs::qt::testsupport
