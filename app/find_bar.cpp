#include "find_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "fonts.h"

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FindBar"));
    setFont(Fonts::window());
    auto* caption = new QLabel(QStringLiteral("Find:"), this);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("FindField"));
    m_field->setAccessibleName(QStringLiteral("Find"));
    m_field->setToolTip(QStringLiteral(
        "Shows the cases whose cells contain every word typed here; \"overdue\" shows the "
        "overdue cases. Escape shows every case again."));
    m_field->setClearButtonEnabled(true);
    caption->setBuddy(m_field);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("FindCount"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 0);
    row->addWidget(caption);
    row->addWidget(m_field, 1);
    row->addWidget(m_count);
    hide();
}

void FindBar::open() {
    show();
    raise();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void FindBar::close() {
    m_field->clear();
    hide();
}

void FindBar::showCount(int shown, int total) {
    m_count->setText(QStringLiteral("%1 of %2 %3")
                         .arg(shown)
                         .arg(total)
                         .arg(total == 1 ? QStringLiteral("case") : QStringLiteral("cases")));
}
