#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "large_blocks.h"

class ReportListModel;
class TextColumn;

// What the find field finds among the listed cases. The list's texts are folded once, when the
// list is filled (letter case and accents taken off), and kept as UTF-8, so that a keystroke
// only searches: a row is found when its texts together contain every typed word. The word
// "overdue" stands for the overdue cases.
//
// The folded texts follow the list's columns: a column that shares its texts keeps one folded
// text per different text, searched once per keystroke, and its rows are found through the
// list's own numbers of their texts; a packed column keeps one folded buffer for all its rows,
// searched from end to end once per word.
//
// The folding runs on a thread of its own while the window shows the filled list; the first
// search waits for it.
class CaseFinder {
public:
    CaseFinder() = default;
    ~CaseFinder();
    CaseFinder(const CaseFinder&) = delete;
    CaseFinder& operator=(const CaseFinder&) = delete;

    // The text with its letter case and accents taken off: "Élan" and "ELAN" both give "elan".
    static QString fold(QStringView text);

    // Nothing to find: no rows.
    void clear();
    // Takes the texts of every stored row of the list, which must stay unchanged until the next
    // index() or clear(), and whether each case (by row handle) is overdue. The texts are folded
    // on another thread.
    void index(const ReportListModel& rows, std::vector<bool> overdue);
    // Waits until the texts are folded; throws what stopped the folding (nothing is then found).
    void waitForIndex();
    int rowCount() const { return static_cast<int>(m_overdue.size()); }
    bool overdue(int row) const;
    // A row the list takes after index(), with its texts by column: only its own texts are
    // folded, at once, and it is found from then on. The list's removed rows are never asked.
    void add(int row, std::span<const QString> texts, bool overdue);
    // The list's columns as they were indexed: false once a column that shared its texts packed
    // them (the folded texts no longer fit it, and index() must run again).
    bool fits(const ReportListModel& rows) const;

    // The typed text; its words are separated by white space.
    void setQuery(const QString& typed);
    // True while the typed text has a word: the list is then filtered.
    bool active() const { return m_onlyOverdue || !m_words.empty(); }
    bool accepts(int row) const;

private:
    struct FoldedColumn {
        const TextColumn* texts = nullptr;
        bool shared = false;
        std::vector<std::string> distinct;  // shared: each different text folded
        // Packed: every row's folded text, one after another, and where each ends. A column whose
        // texts fold to themselves (digits, lower-case ASCII) is searched where the list keeps it.
        bool foldsToItself = false;
        bool keepsLengths = false;  // each row's folded text is as long as its text
        LargeString buffer;
        LargeVector<size_t> ends;
    };

    void fold(const ReportListModel& rows);
    void joinFolding() const;
    bool narrowsLastMatch() const;
    // The words first .. first + count - 1 (at most 64) an added row's texts hold, one bit each.
    uint64_t addedWords(size_t row, size_t first, size_t count) const;
    void match() const;
    // The words first .. first + count - 1 (at most 64) each different text of a column holds.
    std::vector<uint64_t> sharedWords(const FoldedColumn& column, size_t first, size_t count) const;
    void matchWords(size_t first, size_t count, std::vector<uint64_t>& found) const;
    // Asks only the rows given (the others are not found); at most 64 words.
    void matchRows(const std::vector<size_t>& rows) const;

    // Written by the folding thread until it is joined.
    std::vector<FoldedColumn> m_columns;
    std::exception_ptr m_foldingFailure;
    mutable std::thread m_folding;

    std::vector<bool> m_overdue;
    size_t m_indexedRows = 0;                       // the rows index() took
    std::vector<std::vector<std::string>> m_added;  // the rows after them: folded, by column
    std::vector<std::string> m_words;
    bool m_onlyOverdue = false;
    mutable bool m_matched = false;  // m_accepted answers the present query for the present rows
    mutable std::vector<char> m_accepted;
    // The query m_accepted answers, while the rows stay the same.
    mutable bool m_narrowable = false;
    mutable std::vector<std::string> m_matchedWords;
    mutable bool m_matchedOverdue = false;
};
