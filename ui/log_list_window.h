#pragma once

#include <QDateTime>
#include <QDialog>
#include <QStringList>
#include <vector>

class QDialogButtonBox;
class QTreeWidget;

// A window that lists rows of the change log, newest first (a case's history, the deletions):
// a plain list with its columns, a line that says when there is no row, and Close. Read by a
// screen reader as a list; Escape closes it.
class LogListWindow : public QDialog {
public:
    // A moment of the log (UTC) as the user reads it: short date and time, local.
    static QString whenText(const QDateTime& utc);
    // Who made a change: the account or login role, or another program that left none.
    static QString whoText(const QString& changedBy);

protected:
    struct Design {
        const char* objectName;
        QString title;
        const char* listName;
        QString listDescription;  // the list's accessible name
        QStringList headers;
        int stretchedColumn;
        QString emptyText;
    };
    LogListWindow(const Design& design, const std::vector<QStringList>& rows, QWidget* parent);

    QTreeWidget* list() const { return m_list; }
    QDialogButtonBox* buttons() const { return m_buttons; }

private:
    QTreeWidget* m_list = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
