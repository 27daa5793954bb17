// Helvarine: a customer-service case database for one user on one machine.
// main only wires the parts together; the main window's load handler does the start-up.

#include <QCoreApplication>
#include <QIcon>
#include <QSettings>
#include <QTimer>

#include "data_paths.h"
#include "guarded_application.h"
#include "main_module.h"
#include "main_window.h"
#include "postgres_engine.h"
#include "prompts.h"
#include "window_dressing.h"

int main(int argc, char** argv) {
    GuardedApplication application(argc, argv);
    const QString programFolder = QCoreApplication::applicationDirPath();
    application.setWindowIcon(QIcon(WindowDressing::iconFile(programFolder)));
    WindowDressing::frameTheFocus(application);

    QtPrompts prompts;
    application.setPrompts(&prompts);
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvanta"),
                       QStringLiteral("Orvanta"));

    PostgresEngine::setStatementLimit(DataPaths::statementLimit());
    MainWindow mainWindow(prompts, settings, programFolder);
    mainWindow.load();
    if (mainWindow.programEnded()) {
        return 0;  // the user stopped the program after a repair; nothing is saved
    }
    mainWindow.show();
    // Once the window is painted: the day's backup of the database file.
    QTimer::singleShot(0, &mainWindow, [&prompts] { MainModule::BackUpDaily(prompts); });
    return application.exec();
}
