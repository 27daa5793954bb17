#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "large_blocks.h"
#include "list_columns.h"

// What a find field finds among a list's rows. The rows' texts are folded once, when the list is
// filled (letter case and accents taken off), and kept as UTF-8, so that a keystroke only
// searches: a row is found when its texts together contain every word. A row may be marked, and
// a search may ask for the marked rows only.
//
// The folded texts follow the list's columns: a column that shares its texts keeps one folded
// text per different text, searched once per keystroke, and its rows are found through the
// column's own numbers of their texts; a packed column keeps one folded buffer for all its rows,
// searched from end to end once per word.
//
// The finder reads a snapshot of the list's columns (see ListColumns), which nothing changes
// while the finder holds it: the folding runs on a thread of its own over the snapshot while the
// list goes on (it is sorted, filtered, changed: a change gives the list a copy of its own), and
// the searches read the same snapshot until the finder follows the list's changed columns. The
// first search waits for the folding.
class TextFinder {
public:
    TextFinder() = default;
    ~TextFinder();
    TextFinder(const TextFinder&) = delete;
    TextFinder& operator=(const TextFinder&) = delete;

    // The text with its letter case and accents taken off: "Élan" and "ELAN" both give "elan".
    static QString fold(QStringView text);

    // Nothing to find: no rows, and no snapshot held.
    void clear();
    // Takes a snapshot of the list's columns, with every stored row, and whether each row (by
    // handle) is marked. The texts are folded on another thread.
    void index(std::shared_ptr<const ListColumns> columns, std::vector<bool> marked);
    // Waits until the texts are folded; throws what stopped the folding (nothing is then found).
    void waitForIndex();
    int rowCount() const { return static_cast<int>(m_marked.size()); }
    bool marked(int row) const;
    // A row the list takes after index(), with its texts by column: only its own texts are
    // folded, at once, and it is found from then on. The list's removed rows are never asked.
    void add(int row, std::span<const QString> texts, bool marked);
    // Takes the list's columns as they now stand in place of the snapshot, when they continue it
    // (rows were only appended since: ListColumns::continues), and lets go of the snapshot; the
    // rows add() took are found as before. False when the folded texts no longer fit them (a
    // column that shared its texts packed them, a text was replaced): index() must run again.
    bool follow(std::shared_ptr<const ListColumns> columns);

    // The words to find, folded (see fold()) and as UTF-8, and whether only marked rows are found.
    void setWords(std::vector<std::string> words, bool onlyMarked);
    // True while a row may be left out: the list is then filtered.
    bool active() const { return m_onlyMarked || !m_words.empty(); }
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

        // Packed: every row's folded text one after another, wherever it is kept, and where
        // each row's text ends.
        const char* packedTexts() const {
            return foldsToItself ? texts->allUtf8().data() : buffer.data();
        }
        std::span<const size_t> packedEnds() const {
            return foldsToItself || keepsLengths ? texts->utf8Ends()
                                                 : std::span<const size_t>(ends);
        }
    };

    void fold(const ListColumns& columns);
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

    // Read by the folding thread until it is joined; let go of only after that.
    std::shared_ptr<const ListColumns> m_snapshot;
    // Written by the folding thread until it is joined.
    std::vector<FoldedColumn> m_columns;
    std::exception_ptr m_foldingFailure;
    mutable std::thread m_folding;

    std::vector<bool> m_marked;
    size_t m_indexedRows = 0;                       // the rows index() took
    std::vector<std::vector<std::string>> m_added;  // the rows after them: folded, by column
    std::vector<std::string> m_words;
    bool m_onlyMarked = false;
    mutable bool m_matched = false;  // m_accepted answers the present query for the present rows
    mutable std::vector<char> m_accepted;
    // The query m_accepted answers, while the rows stay the same.
    mutable bool m_narrowable = false;
    mutable std::vector<std::string> m_matchedWords;
    mutable bool m_matchedMarked = false;
};
