#include "find_bar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>

#include "fonts.h"

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FindBar"));
    setAccessibleName(QStringLiteral("Find"));
    setFont(Fonts::window());
    auto* caption = new QLabel(QStringLiteral("Find:"), this);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("FindField"));
    m_field->setAccessibleName(QStringLiteral("Find"));
    m_field->setToolTip(QStringLiteral(
        "Shows the cases whose cells contain every word typed here; \"overdue\" shows the "
        "overdue cases. Escape shows every case again."));
    m_field->setClearButtonEnabled(true);
    for (QToolButton* clear : m_field->findChildren<QToolButton*>()) {
        clear->setAccessibleName(QStringLiteral("Clear the find field"));
        clear->setToolTip(clear->accessibleName());
    }
    m_field->installEventFilter(this);
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

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_field || event->type() != QEvent::ShortcutOverride) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(
        QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, static_cast<Qt::Key>(key->key())));
    const bool editing = key->matches(QKeySequence::SelectAll) ||
                         key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
                         key->matches(QKeySequence::Paste) ||
                         (key->matches(QKeySequence::Undo) && m_field->isUndoAvailable()) ||
                         (key->matches(QKeySequence::Redo) && m_field->isRedoAvailable());
    if (editing || !isWindowCommand(pressed)) {
        return false;
    }
    // Not overridden: the window's shortcut takes the key.
    event->ignore();
    return true;
}

bool FindBar::isWindowCommand(const QKeySequence& keys) const {
    for (const QShortcut* shortcut : window()->findChildren<QShortcut*>()) {
        if (shortcut->isEnabled() && shortcut->context() != Qt::WidgetShortcut &&
            shortcut->keys().contains(keys)) {
            return true;
        }
    }
    for (const QAction* action : window()->findChildren<QAction*>()) {
        if (action->isEnabled() && action->shortcutContext() != Qt::WidgetShortcut &&
            action->shortcuts().contains(keys)) {
            return true;
        }
    }
    return false;
}
