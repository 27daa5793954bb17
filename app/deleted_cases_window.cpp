#include "deleted_cases_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "fonts.h"
#include "history_window.h"
#include "screen_reader.h"

DeletedCasesWindow::DeletedCasesWindow(std::vector<Deletion> deletions, QWidget* parent)
    : QDialog(parent), m_deletions(std::move(deletions)) {
    setObjectName(QStringLiteral("DeletedCasesWindow"));
    setWindowTitle(QStringLiteral("Deleted cases"));
    createControls();
}

void DeletedCasesWindow::createControls() {
    setFont(Fonts::window());
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("DeletionList"));
    m_list->setAccessibleName(QStringLiteral("Deletions, newest first"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({QStringLiteral("When"), QStringLiteral("Who"), QStringLiteral("What"),
                             QStringLiteral("Cases")});
    for (const Deletion& deletion : m_deletions) {
        QString what = deletion.what();
        what[0] = what[0].toUpper();
        auto* item =
            new QTreeWidgetItem({HistoryWindow::whenText(deletion.changedAt),
                                 deletion.changedBy.isEmpty() ? QStringLiteral("(another program)")
                                                              : deletion.changedBy,
                                 what, QString::number(deletion.caseCount())});
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        m_list->addTopLevelItem(item);
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    m_list->setFont(Fonts::plain());
    auto* empty = new QLabel(QStringLiteral("No deletion is recorded."), this);
    empty->setVisible(m_deletions.empty());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setAccessibleName(QStringLiteral("Commands"));
    QPushButton* restore =
        buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole);
    restore->setObjectName(QStringLiteral("RestoreButton"));
    restore->setEnabled(!m_deletions.empty());
    if (!m_deletions.empty()) {
        m_list->setCurrentItem(m_list->topLevelItem(0));
    }
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { choose(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemActivated, this, [this] { choose(); });
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_list);
    column->addWidget(empty);
    column->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 100, fontMetrics().height() * 24);
    ScreenReader::nameInnerParts(this);
}

void DeletedCasesWindow::choose() {
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0) {
        return;
    }
    m_chosen = m_deletions[static_cast<size_t>(row)].command;
    accept();
}
