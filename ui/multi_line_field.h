#pragma once

#include <QPlainTextEdit>

// A multi-line text box (comments, notes). The text box turns stored line breaks of any kind
// into its own and cannot tell a no-break space from a space in its plain text; so a text that
// the user did not change is given back exactly as it was stored, and a changed one with line
// feeds as its line breaks and every other character as typed.
class MultiLineField : public QPlainTextEdit {
public:
    explicit MultiLineField(QWidget* parent = nullptr);

    // Shows a text read from the database.
    void setStoredText(const QString& text);
    // The text to write back.
    QString storedText() const;

private:
    QString shownText() const;

    QString m_stored;
    QString m_shown;
};
