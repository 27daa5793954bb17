#include "date_picker.h"

#include <QKeyEvent>

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
}

bool DatePicker::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const bool forward =
                key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            QWidget::focusNextPrevChild(forward);
            return true;
        }
    }
    return QDateEdit::event(event);
}

bool DatePicker::focusNextPrevChild(bool next) {
    // The date editor asks for the next section itself when one is typed in full; past the
    // first or the last section the typing stays here.
    const int section = currentSectionIndex() + (next ? 1 : -1);
    if (section < 0 || section >= sectionCount()) {
        return true;
    }
    return QDateEdit::focusNextPrevChild(next);
}
