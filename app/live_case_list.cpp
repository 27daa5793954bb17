#include "live_case_list.h"

#include <QDate>
#include <algorithm>
#include <charconv>
#include <unordered_set>
#include <vector>

#include "case_finder.h"
#include "change_feed.h"
#include "overdue.h"
#include "report_list.h"

LiveCaseList::LiveCaseList(ReportListModel& rows, CaseFinder& finder, QStringList fields,
                           int dueColumn, int resolvedColumn)
    : m_rows(rows),
      m_finder(finder),
      m_fields(std::move(fields)),
      m_dueColumn(dueColumn),
      m_resolvedColumn(resolvedColumn) {}

void LiveCaseList::reloaded(std::optional<qint64> revision) {
    m_revision = revision;
    m_byId.clear();
    m_byIdKnown = false;
}

int LiveCaseList::rowOf(qint64 id) {
    if (!m_byIdKnown) {
        const TextColumn& ids = m_rows.columnTexts(0);
        m_byId.reserve(ids.size());
        for (size_t row = 0; row < ids.size(); ++row) {
            if (m_rows.removed(static_cast<int>(row))) {
                continue;
            }
            qint64 number = 0;
            if (!ids.shared() && ids.hasUtf8(row)) {
                const std::string_view bytes = ids.utf8(row);
                std::from_chars(bytes.data(), bytes.data() + bytes.size(), number);
            } else {
                number = ids.text(row).toLongLong();
            }
            m_byId[number] = static_cast<int>(row);
        }
        m_byIdKnown = true;
    }
    const auto found = m_byId.find(id);
    return found == m_byId.end() ? -1 : found->second;
}

LiveCaseList::Outcome LiveCaseList::follow(ChangeFeed& feed, int& selected) {
    if (!m_revision) {
        return Outcome::ReloadNeeded;
    }
    const std::optional<std::vector<LoggedChange>> changes = feed.changesAfter(*m_revision);
    if (!changes) {
        return Outcome::ReloadNeeded;
    }
    if (changes->empty()) {
        return Outcome::Unchanged;
    }
    // What each case came to, by its last change; the people whose names changed.
    std::vector<qint64> reread;
    std::unordered_set<qint64> gone;
    std::vector<qint64> employees;
    std::vector<qint64> customers;
    for (const LoggedChange& change : *changes) {
        bool isNumber = false;
        const qint64 id = change.row.toLongLong(&isNumber);
        if (!isNumber) {
            continue;  // a lookup row: the list shows the value stored in the case
        }
        if (change.isOf("Cases")) {
            if (change.action == LoggedChange::Action::Delete) {
                gone.insert(id);
            } else {
                gone.erase(id);
                reread.push_back(id);
            }
        } else if (change.namesChanged && change.isOf("Employees")) {
            employees.push_back(id);
        } else if (change.namesChanged && change.isOf("Customers")) {
            customers.push_back(id);
        }
    }
    const std::vector<qint64> showing = feed.casesShowing(employees, customers);
    reread.insert(reread.end(), showing.begin(), showing.end());
    std::sort(reread.begin(), reread.end());
    reread.erase(std::unique(reread.begin(), reread.end()), reread.end());
    reread.erase(std::remove_if(reread.begin(), reread.end(),
                                [&gone](qint64 id) { return gone.count(id) != 0; }),
                 reread.end());
    if (reread.size() > static_cast<size_t>(ChangeFeed::kMostChanges) ||
        m_rows.removedCount() > m_rows.storedCount()) {
        return Outcome::ReloadNeeded;
    }

    // The rows are read before the list changes, so that a failure leaves it as it was.
    std::unordered_map<qint64, std::vector<QString>> read;
    if (!reread.empty()) {
        RecordSet rows = feed.caseRows(m_fields, reread);
        while (!rows.eof()) {
            std::vector<QString> texts;
            texts.reserve(static_cast<size_t>(m_fields.size()));
            for (int column = 0; column < m_fields.size(); ++column) {
                texts.push_back(rows.text(column));
            }
            read[texts.front().toLongLong()] = std::move(texts);
            rows.moveNext();
        }
    }
    rowOf(0);  // the rows by ID are known before any row comes or goes
    const auto takeOut = [&](qint64 id) {
        const int row = rowOf(id);
        if (row >= 0) {
            m_rows.removeRow(row);
            m_byId.erase(id);
        }
        return row;
    };
    for (const qint64 id : gone) {
        takeOut(id);
    }
    Overdue::Check overdue(QDate::currentDate());
    for (const qint64 id : reread) {
        const auto found = read.find(id);
        if (found == read.end()) {
            takeOut(id);  // deleted since the log was read, or no longer in the view
            continue;
        }
        const std::vector<QString>& texts = found->second;
        const int row = m_rows.nextRow();
        m_finder.add(row, texts,
                     overdue(texts[static_cast<size_t>(m_dueColumn)],
                             texts[static_cast<size_t>(m_resolvedColumn)]));
        m_rows.insertRow(texts);
        const int old = takeOut(id);
        if (old >= 0 && old == selected) {
            selected = row;
        }
        m_byId[id] = row;
    }
    m_revision = changes->back().revision;
    // The finder searched its snapshot of the columns meanwhile; it takes the changed ones, unless
    // a column that shared its texts now packs them, which no longer fits the folded texts.
    return m_finder.follow(m_rows.snapshot()) ? Outcome::Applied : Outcome::ReloadNeeded;
}
