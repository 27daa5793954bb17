#pragma once

#include <QDialog>
#include <vector>

#include "change_history.h"

class Prompts;
class QTreeWidget;

// "History of case N": the case's changes, newest first, each with when (the user's short date
// and the time), who and what in words. Read by a screen reader as a list with three columns;
// Escape or Close closes it.
class HistoryWindow : public QDialog {
public:
    HistoryWindow(qint64 caseId, const std::vector<HistoryLine>& lines, QWidget* parent = nullptr);

    // Reads the case's history from the shared connection and shows it over the parent.
    static void show(Prompts& prompts, qint64 caseId, QWidget* parent);
    // A moment of the log (UTC) as the user reads it: short date and time, local.
    static QString whenText(const QDateTime& utc);

private:
    void createControls(qint64 caseId, const std::vector<HistoryLine>& lines);

    QTreeWidget* m_list = nullptr;
};
