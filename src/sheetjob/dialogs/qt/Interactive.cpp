#include "sheetjob/dialogs/qt/Interactive.h"

#include "sheetjob/dialogs/DialogSession.h"
#include "sheetjob/dialogs/qt/QtPlatform.h"
#include "sheetjob/dialogs/qt/Translations.h"
#include "sheetjob/job/SheetJob.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <iostream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace sheetjob::dialogs::qt {
namespace {

bool envSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

} // namespace

bool displayAvailable(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    return true;
#else
    if (!envSet("DISPLAY") && !envSet("WAYLAND_DISPLAY") && !envSet("QT_QPA_PLATFORM"))
        return false;
    // A GUI that cannot reach its display aborts the process, so the trial
    // start runs in a child process, its complaints silenced.
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            dup2(devNull, STDERR_FILENO);
            dup2(devNull, STDOUT_FILENO);
        }
        int childArgc = argc;
        { const QGuiApplication trial(childArgc, argv); }
        _exit(0);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

int runInteractive(int argc, char** argv, const std::vector<std::string>& args) {
    QApplication app(argc, argv);
    installRussianQtTexts(app);
    QtPlatform platform;
    DialogSession session(platform);
    return job::runSheetJob(args, &session, std::cerr);
}

} // namespace sheetjob::dialogs::qt
