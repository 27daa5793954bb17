#include "multi_line_field.h"

#include <QTextDocument>

MultiLineField::MultiLineField(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);  // Tab moves on to the next field, as in every other field
    m_shown = shownText();
}

void MultiLineField::setStoredText(const QString& text) {
    setPlainText(text);
    m_stored = text;
    m_shown = shownText();
}

QString MultiLineField::storedText() const {
    const QString shown = shownText();
    return shown == m_shown ? m_stored : shown;
}

QString MultiLineField::shownText() const {
    // The document keeps each line break as a paragraph separator; every other character, a line
    // separator or a no-break space included, stays as it is.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}
