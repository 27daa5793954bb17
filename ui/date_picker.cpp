#include "date_picker.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "date_text.h"

namespace {

const QDate kFirstDate(1601, 1, 1);
const QDate kLastDate(9999, 12, 31);

bool inRange(QDate date) {
    return date.isValid() && date >= kFirstDate && date <= kLastDate;
}

// The runs of letters and digits in a date text, as [start, end) positions: its day, month and
// year, in the order the text writes them.
std::vector<std::pair<int, int>> fieldsOf(const QString& text) {
    std::vector<std::pair<int, int>> fields;
    for (int i = 0; i < text.size();) {
        if (!text.at(i).isLetterOrNumber()) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < text.size() && text.at(i).isLetterOrNumber()) {
            ++i;
        }
        fields.emplace_back(start, i);
    }
    return fields;
}

}  // namespace

DatePicker::DatePicker(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { readText(text); });
    setDate(QDate::currentDate());
}

void DatePicker::setDate(QDate date) {
    m_date = date;
    lineEdit()->setText(date.isValid() ? DateText::toText(date) : QString());
    showReading(inRange(date) ? Reading::Date
                              : (date.isValid() ? Reading::OutOfRange : Reading::NotADate));
}

QDate DatePicker::minimumDate() const {
    return kFirstDate;
}

QDate DatePicker::maximumDate() const {
    return kLastDate;
}

void DatePicker::readText(const QString& text) {
    m_selectOnRelease = false;
    // A date with a time of day is no date for this field.
    const std::optional<QDateTime> typed = DateText::parse(text);
    if (!typed || typed->time() != QTime(0, 0)) {
        showReading(Reading::NotADate);
    } else if (!inRange(typed->date())) {
        showReading(Reading::OutOfRange);
    } else {
        m_date = typed->date();
        showReading(Reading::Date);
    }
}

void DatePicker::tidyText() {
    const QString shown = DateText::toText(m_date);
    if (holdsDate() && lineEdit()->text() != shown) {
        lineEdit()->setText(shown);
    }
}

void DatePicker::showReading(Reading reading) {
    if (reading == m_reading) {
        return;  // the field shows it already
    }
    m_reading = reading;
    QString problem;
    QPalette marked;
    if (reading != Reading::Date) {
        problem = reading == Reading::OutOfRange
                      ? QStringLiteral("The date must lie between %1 and %2.")
                            .arg(DateText::toText(kFirstDate), DateText::toText(kLastDate))
                      : QStringLiteral("Not a date. Type a date such as %1 or %2.")
                            .arg(DateText::toText(QDate::currentDate()),
                                 QDate::currentDate().toString(Qt::ISODate));
        marked = lineEdit()->palette();
        marked.setColor(QPalette::Text, QColor(0xA8, 0x00, 0x00));
        marked.setColor(QPalette::Base, QColor(0xFF, 0xE8, 0xE8));
    }
    lineEdit()->setPalette(marked);
    lineEdit()->setToolTip(problem);
    setAccessibleDescription(problem);
}

void DatePicker::step(int steps) {
    if (!holdsDate()) {
        return;
    }
    const QString text = lineEdit()->text();
    const std::vector<std::pair<int, int>> fields = fieldsOf(text);
    const int cursor = lineEdit()->cursorPosition();
    size_t index = 0;
    while (index + 1 < fields.size() && cursor > fields[index].second) {
        ++index;
    }
    const bool leadingYear = !fields.empty() && fields.front().second - fields.front().first == 4 &&
                             text.at(fields.front().first).isDigit();
    const std::array<char, 3> order = DateText::fieldOrder(leadingYear);
    const char field = index < order.size() ? order[index] : 'd';
    QDate next = field == 'y'   ? m_date.addYears(steps)
                 : field == 'M' ? m_date.addMonths(steps)
                                : m_date.addDays(steps);
    if (!next.isValid()) {
        return;
    }
    setDate(std::clamp(next, kFirstDate, kLastDate));
    // The stepped field stays selected, as in a spin box.
    const std::array<char, 3> shownOrder = DateText::fieldOrder();
    const auto shownIndex = static_cast<size_t>(
        std::find(shownOrder.begin(), shownOrder.end(), field) - shownOrder.begin());
    const std::vector<std::pair<int, int>> shown = fieldsOf(lineEdit()->text());
    if (shownIndex < shown.size()) {
        lineEdit()->setSelection(shown[shownIndex].first,
                                 shown[shownIndex].second - shown[shownIndex].first);
    }
}

void DatePicker::keyPressEvent(QKeyEvent* event) {
    m_selectOnRelease = false;  // the user has started to work in the field
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        switch (event->key()) {
            case Qt::Key_Up:
                step(1);
                return;
            case Qt::Key_Down:
                step(-1);
                return;
            case Qt::Key_PageUp:
                step(10);
                return;
            case Qt::Key_PageDown:
                step(-10);
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                tidyText();
                break;
            default:
                break;
        }
    }
    QComboBox::keyPressEvent(event);
}

void DatePicker::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    const bool fromCalendar = event->reason() == Qt::PopupFocusReason && m_calendarShown;
    m_calendarShown = false;
    if (event->reason() == Qt::ActiveWindowFocusReason ||
        (event->reason() == Qt::PopupFocusReason && !fromCalendar)) {
        return;  // back from another window or a context menu: the user's place in the text stays
    }
    // Entering the field, and coming back from the calendar, selects the text so that a date
    // typed now replaces it. The click that enters places the cursor when it is released, so
    // the text is selected again then.
    lineEdit()->selectAll();
    m_selectOnRelease = event->reason() == Qt::MouseFocusReason || fromCalendar;
}

void DatePicker::focusOutEvent(QFocusEvent* event) {
    m_selectOnRelease = false;
    if (event->reason() != Qt::PopupFocusReason) {
        tidyText();
    }
    QComboBox::focusOutEvent(event);
}

void DatePicker::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (!hasFocus() || notches == 0) {
        event->ignore();
        return;
    }
    step(notches);
    event->accept();
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease && m_selectOnRelease) {
        // The click that entered the field has placed the cursor; unless it dragged a selection
        // of its own, the whole text is selected so that a date typed now replaces it.
        m_selectOnRelease = false;
        static_cast<QObject*>(lineEdit())->event(event);
        if (!lineEdit()->hasSelectedText()) {
            lineEdit()->selectAll();
        }
        return true;
    }
    if (watched == m_popup && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        hidePopup();
        return true;
    }
    if (watched == m_popup && event->type() == QEvent::MouseButtonPress) {
        // A click on the arrow while the calendar is open closes it, and does not open it again.
        QStyleOptionComboBox option;
        initStyleOption(&option);
        const QRect arrow =
            style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (arrow.translated(mapToGlobal(QPoint(0, 0))).contains(at)) {
            m_popup->setAttribute(Qt::WA_NoMouseReplay);
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void DatePicker::createPopup() {
    m_popup = new QFrame(this, Qt::Popup);
    m_popup->setFrameShape(QFrame::StyledPanel);
    m_popup->installEventFilter(this);
    auto* layout = new QVBoxLayout(m_popup);
    layout->setContentsMargins(1, 1, 1, 1);
    m_calendar = new QCalendarWidget(m_popup);
    m_calendar->setObjectName(QStringLiteral("calendar"));
    m_calendar->setDateRange(kFirstDate, kLastDate);
    layout->addWidget(m_calendar);
    const auto pick = [this](QDate picked) {
        hidePopup();
        setDate(picked);
        lineEdit()->selectAll();
    };
    connect(m_calendar, &QCalendarWidget::clicked, this, pick);
    connect(m_calendar, &QCalendarWidget::activated, this, pick);
}

void DatePicker::showPopup() {
    if (m_popup == nullptr) {
        createPopup();
    }
    m_selectOnRelease = false;
    m_calendarShown = true;
    m_calendar->setAccessibleName(accessibleName());
    m_calendar->setSelectedDate(holdsDate() ? m_date : QDate::currentDate());
    // Below the field, or above it where the screen ends below.
    const QSize size = m_popup->sizeHint();
    QPoint place = mapToGlobal(QPoint(0, height()));
    if (const QScreen* shown = screen()) {
        const QRect available = shown->availableGeometry();
        if (place.y() + size.height() > available.bottom()) {
            place.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        }
        place.setX(std::clamp(place.x(), available.left(),
                              std::max(available.left(), available.right() - size.width())));
    }
    m_popup->setAttribute(Qt::WA_NoMouseReplay, false);
    m_popup->resize(size);
    m_popup->move(place);
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void DatePicker::hidePopup() {
    if (m_popup != nullptr) {
        m_popup->hide();
    }
}
