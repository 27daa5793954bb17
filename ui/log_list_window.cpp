#include "log_list_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "date_text.h"
#include "fonts.h"
#include "screen_reader.h"

LogListWindow::LogListWindow(const Design& design, const std::vector<QStringList>& rows,
                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(QLatin1String(design.objectName));
    setWindowTitle(design.title);
    setFont(Fonts::window());
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QLatin1String(design.listName));
    m_list->setAccessibleName(design.listDescription);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setFont(Fonts::plain());
    m_list->setHeaderLabels(design.headers);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const QStringList& row : rows) {
        items.append(new QTreeWidgetItem(row));
    }
    m_list->addTopLevelItems(items);
    if (!items.isEmpty()) {
        m_list->setCurrentItem(items.front());
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(design.stretchedColumn, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    auto* empty = new QLabel(design.emptyText, this);
    empty->setVisible(rows.empty());
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_buttons->setAccessibleName(QStringLiteral("Commands"));
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_list);
    column->addWidget(empty);
    column->addWidget(m_buttons);
    resize(fontMetrics().averageCharWidth() * 100, fontMetrics().height() * 24);
    ScreenReader::nameInnerParts(this);
}

QString LogListWindow::whenText(const QDateTime& utc) {
    const QDateTime local = utc.toLocalTime();
    return QLocale().toString(local.date(), DateText::shortDateFormat()) + QLatin1Char(' ') +
           QLocale().toString(local.time(), QLocale::ShortFormat);
}

QString LogListWindow::whoText(const QString& changedBy) {
    return changedBy.isEmpty() ? QStringLiteral("(another program)") : changedBy;
}
