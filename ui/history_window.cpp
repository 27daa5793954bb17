#include "history_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "case_store.h"
#include "date_text.h"
#include "fonts.h"
#include "prompts.h"
#include "screen_reader.h"

HistoryWindow::HistoryWindow(qint64 caseId, const std::vector<HistoryLine>& lines, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("History of case %1").arg(caseId));
    createControls(caseId, lines);
}

void HistoryWindow::createControls(qint64 caseId, const std::vector<HistoryLine>& lines) {
    setFont(Fonts::window());
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("HistoryList"));
    m_list->setAccessibleName(QStringLiteral("Changes of case %1, newest first").arg(caseId));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setHeaderLabels(
        {QStringLiteral("When"), QStringLiteral("Who"), QStringLiteral("What")});
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(lines.size()));
    for (const HistoryLine& line : lines) {
        auto* item = new QTreeWidgetItem(
            {whenText(line.changedAt),
             line.changedBy.isEmpty() ? QStringLiteral("(another program)") : line.changedBy,
             line.what});
        item->setToolTip(2, line.what);
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    m_list->setFont(Fonts::plain());
    auto* empty = new QLabel(QStringLiteral("No change of this case is recorded."), this);
    empty->setObjectName(QStringLiteral("HistoryEmpty"));
    empty->setVisible(lines.empty());
    if (!lines.empty()) {
        m_list->setCurrentItem(m_list->topLevelItem(0));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setAccessibleName(QStringLiteral("Commands"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_list);
    column->addWidget(empty);
    column->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 100, fontMetrics().height() * 24);
    ScreenReader::nameInnerParts(this);
}

void HistoryWindow::show(Prompts& prompts, qint64 caseId, QWidget* parent) {
    HistoryWindow window(caseId, CaseHistory::read(CaseStore::shared(), caseId), parent);
    prompts.showModal(window);
}

QString HistoryWindow::whenText(const QDateTime& utc) {
    const QDateTime local = utc.toLocalTime();
    return QLocale().toString(local.date(), DateText::shortDateFormat()) + QLatin1Char(' ') +
           QLocale().toString(local.time(), QLocale::ShortFormat);
}
