#include "history_window.h"

#include <QTreeWidget>

#include "case_store.h"
#include "prompts.h"

namespace {

std::vector<QStringList> historyRows(const std::vector<HistoryLine>& lines) {
    std::vector<QStringList> rows;
    rows.reserve(lines.size());
    for (const HistoryLine& line : lines) {
        rows.push_back({LogListWindow::whenText(line.changedAt),
                        LogListWindow::whoText(line.changedBy), line.what});
    }
    return rows;
}

}  // namespace

HistoryWindow::HistoryWindow(qint64 caseId, const std::vector<HistoryLine>& lines, QWidget* parent)
    : LogListWindow(
          {.objectName = "HistoryWindow",
           .title = QStringLiteral("History of case %1").arg(caseId),
           .listName = "HistoryList",
           .listDescription = QStringLiteral("Changes of case %1, newest first").arg(caseId),
           .headers = {QStringLiteral("When"), QStringLiteral("Who"), QStringLiteral("What")},
           .stretchedColumn = 2,
           .emptyText = QStringLiteral("No change of this case is recorded.")},
          historyRows(lines), parent) {
    // A long change reads whole as the tooltip of its line.
    for (int row = 0; row < list()->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list()->topLevelItem(row);
        item->setToolTip(2, item->text(2));
    }
}

void HistoryWindow::show(Prompts& prompts, qint64 caseId, QWidget* parent) {
    HistoryWindow window(caseId, CaseHistory::read(CaseStore::shared(), caseId), parent);
    prompts.showModal(window);
}
