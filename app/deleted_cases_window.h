#pragma once

#include <vector>

#include "change_history.h"
#include "log_list_window.h"

// "Deleted cases": the deletions made by anyone, newest first (when, who, what, how many cases);
// Restore closes it with the selected one chosen, Escape or Close without.
class DeletedCasesWindow : public LogListWindow {
public:
    explicit DeletedCasesWindow(std::vector<Deletion> deletions, QWidget* parent = nullptr);

    // The command of the deletion chosen for a restore, or 0.
    qint64 chosenCommand() const { return m_chosen; }

private:
    void choose();

    std::vector<Deletion> m_deletions;
    qint64 m_chosen = 0;
};
