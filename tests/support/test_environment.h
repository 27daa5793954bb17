#pragma once

#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class QComboBox;
class ScriptedPrompts;

// A test's own machine: a temporary data root (HELVARINE_DATA_ROOT), a settings file of its
// own, the program's build folder (with dbBlank.mdb, HAND-M.CUR and the icon) and a fixed
// locale (United States English), so that no test touches the real machine or user.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    // The folder with the program's companion files, as built.
    static QString programFolder();
    static QString templateFile() { return programFolder() + QStringLiteral("/dbBlank.mdb"); }

    QString dataRoot() const { return m_root.path(); }
    QString databaseFile() const;
    QString settingsFile() const { return m_root.path() + QStringLiteral("/settings.ini"); }
    QSettings& settings() { return *m_settings; }
    // Reopens the settings file, as a second run of the program would.
    void reopenSettings();

    // The engine the test runs on: HELVARINE_TEST_ENGINE=postgresql (set by CTest on the second
    // registration of a test) runs it on the run's private server (HELVARINE_TEST_DATABASE),
    // otherwise on the SQLite file.
    static bool onServer();

    // Copies the template into place and opens the shared connection on it; on the server, a
    // fresh database made from the schema, which HELVARINE_DATABASE then names too.
    void openDatabase();
    // Closes and releases the shared connection, if there is one.
    void closeDatabase();

    // The connection text of this test's database on the server.
    QString serverDatabase() const { return m_serverDatabase; }

private:
    QTemporaryDir m_root;
    QString m_databaseName;
    QString m_serverDatabase;
    std::unique_ptr<QSettings> m_settings;
};

// Skips a test that is about the SQLite file itself when the run is on the server.
#define SKIP_ON_SERVER(why)                  \
    do {                                     \
        if (TestEnvironment::onServer()) {   \
            QSKIP("file engine only: " why); \
        }                                    \
    } while (false)

// Runs SQL on a database file as another SQLite tool would: through the library alone, without
// the program's functions and triggers. Gives the library's error message, empty on success.
QString executeAsOtherTool(const QString& path, const QString& sql);

// Who the change log names for the program's own changes: the desktop account on a file, the
// tests' login role on the server.
QString programAuthor();

// Runs one statement as another person running the program would: through a connection of its
// own (on a file, the library alone). Gives the engine's error message, empty on success.
QString executeAsAnotherUser(const TestEnvironment& environment, const QString& statement);

// Makes the database refuse every write of the kind ("insert", "update" or "delete") to the
// table with the message, until allowWrites; on either engine.
void refuseWrites(const QString& table, const QString& kind, const QString& message);
void allowWrites(const QString& table);

// The server's words for a refusal that the file's engine words as given.
QString engineSays(const QString& fileMessage);

// The values of a column joined by commas, in the order the rows are read.
QString joined(const QString& column, const QString& from);

// The permission bits of a path (setuid, setgid and sticky included; 0 when it is missing), and
// its group.
unsigned modeOf(const QString& path);
unsigned groupOf(const QString& path);

// Reads one value with a plain select on the shared connection ("" for NULL).
QString scalar(const QString& select);
// Runs one statement on the shared connection.
void execute(const QString& statement);
// The statements among these that write something (all but the selects), in order.
QStringList writesAmong(const QStringList& statements);
// The number of rows of "select count(*) from " + the text (a table, or a table and a where).
int count(const QString& from);

// The entries of a pick list, in order.
QStringList listEntries(const QComboBox* list);
// Selects the list's entry with the text; fails the test when there is none.
void pick(QComboBox* list, const QString& text);

// The line numbers that the error boxes named, in order; other boxes are left out.
QList<int> errorLines(const ScriptedPrompts& prompts);
// The line number of every box, in order: -1 for a box that names no line.
QList<int> boxLines(const ScriptedPrompts& prompts);
