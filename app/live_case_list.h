#pragma once

#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <unordered_map>

class CaseFinder;
class ChangeFeed;
class ReportListModel;

// Keeps the case list up to date from the change log: after a full reload it knows the revision
// the reload read at, and then reads again only the cases that changed since, the cases that show
// a renamed person, and takes out the deleted ones. A changed case's row is replaced by a new one
// in its sorted place, so that the list and the find field's folded texts only ever grow at
// their end; the old row is removed.
class LiveCaseList {
public:
    // The columns of [Cases Extended] the list shows (the first is the ID), and which of them
    // hold the due and resolved dates that tell an overdue case.
    LiveCaseList(ReportListModel& rows, CaseFinder& finder, QStringList fields, int dueColumn,
                 int resolvedColumn);

    // A full reload filled the list with what the log held up to the revision; nothing when the
    // log cannot be followed (no log, or the reload failed).
    void reloaded(std::optional<qint64> revision);
    bool following() const { return m_revision.has_value(); }
    qint64 revision() const { return m_revision.value_or(0); }

    enum class Outcome { Unchanged, Applied, ReloadNeeded };
    // Applies the changes after the revision. `selected` is the handle of the selected row, and
    // becomes the handle of the row that replaced it. ReloadNeeded when the log cannot answer,
    // or a reload costs less than the changes.
    Outcome follow(ChangeFeed& feed, int& selected);

private:
    int rowOf(qint64 id);

    ReportListModel& m_rows;
    CaseFinder& m_finder;
    QStringList m_fields;
    int m_dueColumn;
    int m_resolvedColumn;
    std::optional<qint64> m_revision;
    // Case ID -> row handle, made when the first change is applied after a reload.
    std::unordered_map<qint64, int> m_byId;
    bool m_byIdKnown = false;
};
