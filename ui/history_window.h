#pragma once

#include <vector>

#include "change_history.h"
#include "log_list_window.h"

class Prompts;

// "History of case N": the case's changes, newest first, each with when (the user's short date
// and the time), who and what in words.
class HistoryWindow : public LogListWindow {
public:
    HistoryWindow(qint64 caseId, const std::vector<HistoryLine>& lines, QWidget* parent = nullptr);

    // Reads the case's history from the shared connection and shows it over the parent.
    static void show(Prompts& prompts, qint64 caseId, QWidget* parent);
};
