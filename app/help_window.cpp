#include "help_window.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <utility>

#include "daily_backup.h"
#include "data_paths.h"
#include "fonts.h"
#include "postgres_engine.h"

namespace {

// The keys of the main window, the editors and the date fields: key, what it does.
constexpr std::pair<const char*, const char*> kKeys[] = {
    {"Ctrl+N", "Add a new case"},
    {"Return, double-click", "Edit the selected case"},
    {"Delete", "Delete the selected case, after a question"},
    {"Ctrl+P", "Show the reports"},
    {"F5", "Reload the list"},
    {"Ctrl+F, / in the list", "Find cases as you type"},
    {"Escape", "Close the find field and show every case again"},
    {"Ctrl+E", "Export the shown cases as a CSV file"},
    {"Ctrl+H", "The history of the selected case (also in the case editor)"},
    {"Ctrl+Z", "Undo your last deletion: what it took comes back, after a question"},
    {"Ctrl+Shift+H", "Everyone's deletions; restore one"},
    {"F1", "This help"},
    {"Ctrl+S", "Save, in the case and contact editors"},
    {"Up, Down", "In a date field: the day, month or year under the cursor one step"},
    {"F4, Alt+Down", "In a date field: the calendar"},
};

QString section(const char* heading, const QString& body) {
    return QStringLiteral("<h3>%1</h3>%2").arg(QLatin1String(heading), body);
}

QString paragraph(const QString& text) {
    return QStringLiteral("<p>%1</p>").arg(text);
}

QString code(const QString& text) {
    return QStringLiteral("<code>%1</code>").arg(text.toHtmlEscaped());
}

QString code(const char* text) {
    return code(QString::fromUtf8(text));
}

QString keys() {
    QString rows;
    for (const auto& [key, meaning] : kKeys) {
        rows += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(QLatin1String(key), QLatin1String(meaning));
    }
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">%1</table>").arg(rows);
}

QString dataSections() {
    if (DataPaths::onServer()) {
        const QString server = PostgresEngine::serverName(DataPaths::serverText());
        return section("Where the data lives",
                       paragraph(QStringLiteral("The cases are kept on the team's database "
                                                "server (%1), which every colleague's desktop "
                                                "reads and writes.")
                                     .arg(server.toHtmlEscaped()))) +
               section("Backups", paragraph(QStringLiteral(
                                      "The server's administrator keeps the backups, for "
                                      "example with pg_dump; this desktop writes none.")));
    }
    const DailyBackup backup(DataPaths::databaseFile());
    return section("Where the data lives",
                   paragraph(
                       QStringLiteral("The cases are kept in the file %1, which every account of "
                                      "this computer in the group %2 shares. An administrator lets "
                                      "another account in with %3; it then logs in again.")
                           .arg(code(DataPaths::databaseFile()), code("helvarine"),
                                code("sudo usermod -aG helvarine NAME")))) +
           section("Daily backups",
                   paragraph(QStringLiteral(
                                 "At the first start of each day a copy of the file is written "
                                 "into %1, named by the time it was made; the newest %2 are "
                                 "kept. To go back to one, close the program on every account, "
                                 "put the present file aside and copy the backup in its place.")
                                 .arg(code(backup.folder()))
                                 .arg(DailyBackup::kKept)));
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Helvarine Help"));
    createControls();
}

void HelpWindow::createControls() {
    setFont(Fonts::window());
    auto* document = new QTextBrowser(this);
    document->setObjectName(QStringLiteral("HelpText"));
    document->setAccessibleName(windowTitle());
    document->setOpenLinks(false);
    document->setFont(Fonts::plain());  // a document reads best in the regular weight
    document->setHtml(text());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(document);
    column->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 80, fontMetrics().height() * 36);
}

QString HelpWindow::text() {
    return section("Keys", keys()) +
           section(
               "Finding cases",
               paragraph(
                   QStringLiteral(
                       "Type words into the find field (Ctrl+F): the list shows the cases whose "
                       "cells together contain every word, whatever the letter case and accents "
                       "(\"cafe\" finds \"Café\"). The word %1 shows the open cases whose due "
                       "date has passed; they are drawn in red in the list.")
                       .arg(code("overdue")))) +
           dataSections() +
           section(
               "A team server",
               paragraph(
                   QStringLiteral("A team shares one PostgreSQL server instead of the file. Its "
                                  "administrator applies %1 with psql and makes each account a "
                                  "member of the role %2. Each desktop then names the server in "
                                  "the environment variable %3, or for every account of the "
                                  "computer in %4 under [Helvarine] as %5. Passwords belong in "
                                  "%6, never in these settings.")
                       .arg(code("/usr/share/helvarine/schema-postgresql.sql"),
                            code("helvarine_users"), code(DataPaths::kServerVariable),
                            code("/etc/xdg/Orvanta/Orvanta.conf"),
                            code("Database=postgresql://dbhost/helvarine"), code("~/.pgpass"))));
}
