#pragma once

#include <QString>
#include <span>
#include <string>
#include <vector>

// What the find field finds among the listed cases. Each row's shown texts are folded once,
// when the list is filled (letter case and accents taken off), and kept as one UTF-8 text per
// row, so that a keystroke only searches: a row is found when its texts together contain every
// typed word. The word "overdue" stands for the overdue cases.
class CaseFinder {
public:
    // The text with its letter case and accents taken off: "Élan" and "ELAN" both give "elan".
    static QString fold(QStringView text);

    void clear();
    // Appends the next row (its handle counts the rows before it): its shown cells and whether
    // the case is overdue.
    void addRow(std::span<const QString> cells, bool overdue);
    int rowCount() const { return static_cast<int>(m_overdue.size()); }
    bool overdue(int row) const;

    // The typed text; its words are separated by white space.
    void setQuery(const QString& typed);
    // True while the typed text has a word: the list is then filtered.
    bool active() const { return m_onlyOverdue || !m_words.empty(); }
    bool accepts(int row) const;

private:
    std::string m_text;            // every row's folded texts, one row after another
    std::vector<size_t> m_starts;  // where each row starts in m_text, and one past the last
    std::vector<bool> m_overdue;
    std::vector<std::string> m_words;
    bool m_onlyOverdue = false;
};
