#include "deleted_cases_window.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTreeWidget>

namespace {

std::vector<QStringList> deletionRows(const std::vector<Deletion>& deletions) {
    std::vector<QStringList> rows;
    rows.reserve(deletions.size());
    for (const Deletion& deletion : deletions) {
        rows.push_back({LogListWindow::whenText(deletion.changedAt),
                        LogListWindow::whoText(deletion.changedBy),
                        ChangeLogText::sentence(deletion.what()),
                        QString::number(deletion.caseCount())});
    }
    return rows;
}

}  // namespace

DeletedCasesWindow::DeletedCasesWindow(std::vector<Deletion> deletions, QWidget* parent)
    : LogListWindow({.objectName = "DeletedCasesWindow",
                     .title = QStringLiteral("Deleted cases"),
                     .listName = "DeletionList",
                     .listDescription = QStringLiteral("Deletions, newest first"),
                     .headers = {QStringLiteral("When"), QStringLiteral("Who"),
                                 QStringLiteral("What"), QStringLiteral("Cases")},
                     .stretchedColumn = 2,
                     .emptyText = QStringLiteral("No deletion is recorded.")},
                    deletionRows(deletions), parent),
      m_deletions(std::move(deletions)) {
    for (int row = 0; row < list()->topLevelItemCount(); ++row) {
        list()->topLevelItem(row)->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    QPushButton* restore =
        buttons()->addButton(QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole);
    restore->setObjectName(QStringLiteral("RestoreButton"));
    restore->setEnabled(!m_deletions.empty());
    connect(buttons(), &QDialogButtonBox::accepted, this, [this] { choose(); });
    connect(list(), &QTreeWidget::itemActivated, this, [this] { choose(); });
}

void DeletedCasesWindow::choose() {
    const int row = list()->indexOfTopLevelItem(list()->currentItem());
    if (row < 0) {
        return;
    }
    m_chosen = m_deletions[static_cast<size_t>(row)].command;
    accept();
}
