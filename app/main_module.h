#pragma once

#include <QDateTime>
#include <QString>

class Prompts;
class QWidget;

// The application-wide procedures of start-up.
namespace MainModule {

// Skins the window with the style sheet "x/o.cjs" from the program's folder, when that file
// exists; otherwise nothing is changed.
void ApplySkin(QWidget* window, const QString& programFolder);

// The application title made from the product's display name: the text before its last blank,
// cut again while longer than 40 characters. A name without a blank stays whole.
QString ShortenAppTitle(const QString& displayName = QStringLiteral("Helvarine"));

// "64" on a 64-bit system, "32" otherwise.
QString GetProcessorAddressWidth();

// At start-up, on the database file: a backup into the folder "backups" beside it when the
// newest is older than a day, the newest seven kept (DailyBackup). A failure is shown once, as
// a warning that names the folder, and the program goes on. With a server, backups are the
// server's own business and nothing is done.
void BackUpDaily(Prompts& prompts, const QDateTime& now = QDateTime::currentDateTime());

}  // namespace MainModule
