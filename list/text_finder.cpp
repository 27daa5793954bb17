#include "text_finder.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>
#include <utility>

#include "text_column.h"

namespace {

bool isAscii(QStringView text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

// Digits, punctuation and lower-case ASCII letters fold to themselves.
bool foldsToItself(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && !(c >= 'A' && c <= 'Z');
    });
}

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Appends the folded text; plain ASCII, the usual case, without a round trip through QString.
template <class Text>
void appendFolded(Text& out, const QString& text) {
    if (isAscii(text)) {
        for (const QChar c : text) {
            const auto byte = static_cast<char>(c.unicode());
            out.push_back(byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte);
        }
        return;
    }
    const QByteArray utf8 = TextFinder::fold(text).toUtf8();
    out.append(utf8.constData(), static_cast<size_t>(utf8.size()));
}

// The first row from `first` on (before `rows`) whose text ends after the offset. A hit is most
// often in the row just after the last one, so the search gallops forward from there before it
// halves.
size_t rowHolding(std::span<const size_t> ends, size_t first, size_t rows, size_t offset) {
    size_t low = first;
    size_t high = first;
    for (size_t step = 1; high < rows && ends[high] <= offset; step *= 2) {
        low = high + 1;
        high = first + step;
    }
    high = std::min(high, rows);
    return static_cast<size_t>(std::upper_bound(ends.begin() + static_cast<std::ptrdiff_t>(low),
                                                ends.begin() + static_cast<std::ptrdiff_t>(high),
                                                offset) -
                               ends.begin());
}

}  // namespace

QString TextFinder::fold(QStringView text) {
    // Compatibility decomposition splits "é" into "e" and its accent (and "ﬁ" into "fi"); the
    // accents, combining marks, are then left out.
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining &&
            category != QChar::Mark_Enclosing) {
            bare.append(c);
        }
    }
    return bare.toCaseFolded();
}

TextFinder::~TextFinder() {
    joinFolding();
}

void TextFinder::joinFolding() const {
    if (m_folding.joinable()) {
        m_folding.join();
    }
}

void TextFinder::waitForIndex() {
    joinFolding();
    if (m_foldingFailure) {
        std::rethrow_exception(std::exchange(m_foldingFailure, nullptr));
    }
}

void TextFinder::clear() {
    joinFolding();
    m_foldingFailure = nullptr;
    m_columns.clear();
    m_marked.clear();
    m_indexedRows = 0;
    m_added.clear();
    m_snapshot.reset();
    m_matched = false;
    m_narrowable = false;
}

void TextFinder::index(std::shared_ptr<const ListColumns> columns, std::vector<bool> marked) {
    clear();
    m_snapshot = std::move(columns);
    m_marked = std::move(marked);
    m_indexedRows = m_marked.size();
    // The thread reads the snapshot, which the finder holds and lets go of only once it joined.
    m_folding = std::thread([this, &snapshot = *m_snapshot] {
        try {
            fold(snapshot);
        } catch (...) {
            m_columns.clear();
            m_foldingFailure = std::current_exception();
        }
    });
}

void TextFinder::fold(const ListColumns& columns) {
    for (size_t column = 0; column < columns.count(); ++column) {
        const TextColumn& texts = columns[column];
        FoldedColumn folded;
        folded.texts = &texts;
        folded.shared = texts.shared();
        if (folded.shared) {
            folded.distinct.resize(texts.distinctCount());
            for (uint32_t value = 0; value < texts.distinctCount(); ++value) {
                appendFolded(folded.distinct[value], texts.distinct(value));
            }
        } else if (texts.everyRowHasUtf8() && foldsToItself(texts.allUtf8())) {
            folded.foldsToItself = true;
        } else if (texts.everyRowHasUtf8() && isAscii(texts.allUtf8())) {
            // Plain ASCII folds letter for letter: the rows keep their lengths and ends.
            folded.buffer.assign(texts.allUtf8());
            for (char& c : folded.buffer) {
                c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            }
            folded.keepsLengths = true;
        } else {
            folded.ends.reserve(texts.size());
            for (size_t row = 0; row < texts.size(); ++row) {
                const std::string_view bytes =
                    texts.hasUtf8(row) ? texts.utf8(row) : std::string_view();
                if (texts.hasUtf8(row) && isAscii(bytes)) {
                    for (const char c : bytes) {
                        folded.buffer.push_back(
                            c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
                    }
                } else {
                    appendFolded(folded.buffer, texts.text(row));
                }
                folded.ends.push_back(folded.buffer.size());
            }
        }
        m_columns.push_back(std::move(folded));
    }
}

bool TextFinder::marked(int row) const {
    return row >= 0 && static_cast<size_t>(row) < m_marked.size() &&
           m_marked[static_cast<size_t>(row)];
}

void TextFinder::add(int row, std::span<const QString> texts, bool marked) {
    if (row < 0 || static_cast<size_t>(row) < m_indexedRows) {
        return;
    }
    const auto handle = static_cast<size_t>(row);
    if (m_marked.size() <= handle) {
        m_marked.resize(handle + 1, false);
    }
    m_marked[handle] = marked;
    m_added.resize(m_marked.size() - m_indexedRows);
    std::vector<std::string>& folded = m_added[handle - m_indexedRows];
    folded.assign(texts.size(), {});
    for (size_t column = 0; column < texts.size(); ++column) {
        appendFolded(folded[column], texts[column]);
    }
    if (!m_matched) {
        return;  // the next search asks every row
    }
    // The present answer takes the row in; only its own texts are searched.
    m_accepted.resize(m_marked.size(), 0);
    bool found = !m_onlyMarked || marked;
    for (size_t first = 0; found && first < m_words.size(); first += 64) {
        const size_t count = std::min<size_t>(64, m_words.size() - first);
        const uint64_t all = count == 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
        found = addedWords(handle, first, count) == all;
    }
    m_accepted[handle] = found ? 1 : 0;
}

bool TextFinder::follow(std::shared_ptr<const ListColumns> columns) {
    joinFolding();
    if (!m_snapshot || !columns || !columns->continues(*m_snapshot)) {
        return false;
    }
    for (size_t column = 0; column < m_columns.size(); ++column) {
        m_columns[column].texts = &(*columns)[column];
    }
    m_snapshot = std::move(columns);
    return true;
}

uint64_t TextFinder::addedWords(size_t row, size_t first, size_t count) const {
    if (row < m_indexedRows || row - m_indexedRows >= m_added.size()) {
        return 0;
    }
    uint64_t found = 0;
    for (const std::string& text : m_added[row - m_indexedRows]) {
        for (size_t word = 0; word < count; ++word) {
            if (text.find(m_words[first + word]) != std::string::npos) {
                found |= uint64_t{1} << word;
            }
        }
    }
    return found;
}

void TextFinder::setWords(std::vector<std::string> words, bool onlyMarked) {
    m_words = std::move(words);
    m_onlyMarked = onlyMarked;
    m_matched = false;  // m_accepted keeps the last query's answer, which a longer one narrows
}

bool TextFinder::accepts(int row) const {
    if (row < 0 || static_cast<size_t>(row) >= m_marked.size()) {
        return false;
    }
    if (!m_matched) {
        match();
    }
    return m_accepted[static_cast<size_t>(row)] != 0;
}

bool TextFinder::narrowsLastMatch() const {
    if (!m_narrowable || m_accepted.size() != m_marked.size() ||
        (m_matchedMarked && !m_onlyMarked)) {
        return false;
    }
    // Every row found now was found then: each word then is part of a word now.
    return std::all_of(
        m_matchedWords.begin(), m_matchedWords.end(), [this](const std::string& old) {
            return std::any_of(m_words.begin(), m_words.end(), [&old](const std::string& word) {
                return word.find(old) != std::string::npos;
            });
        });
}

void TextFinder::match() const {
    joinFolding();
    const size_t rows = m_marked.size();
    constexpr size_t kBits = 64;
    // A longer query, typed letter by letter, asks only the rows found before when they are
    // few; otherwise every row is asked, each column searched from end to end.
    constexpr size_t kFewRows = 8;
    const bool narrows = m_words.size() <= kBits && narrowsLastMatch();
    std::vector<size_t> before;
    if (narrows) {
        for (size_t row = 0; row < rows; ++row) {
            if (m_accepted[row] != 0) {
                before.push_back(row);
            }
        }
    }
    if (narrows && before.size() <= rows / kFewRows) {
        matchRows(before);
    } else {
        m_accepted.assign(rows, 1);
        if (m_onlyMarked) {
            for (size_t row = 0; row < rows; ++row) {
                m_accepted[row] = m_marked[row] ? 1 : 0;
            }
        }
        // Up to 64 words at a time, one bit each.
        std::vector<uint64_t> found;
        for (size_t first = 0; first < m_words.size(); first += kBits) {
            const size_t count = std::min(kBits, m_words.size() - first);
            const uint64_t all = count == kBits ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
            found.assign(rows, 0);
            matchWords(first, count, found);
            for (size_t row = 0; row < rows; ++row) {
                if (found[row] != all) {
                    m_accepted[row] = 0;
                }
            }
        }
    }
    m_matchedWords = m_words;
    m_matchedMarked = m_onlyMarked;
    m_narrowable = true;
    m_matched = true;
}

std::vector<uint64_t> TextFinder::sharedWords(const FoldedColumn& column, size_t first,
                                              size_t count) const {
    std::vector<uint64_t> words(column.distinct.size(), 0);
    for (size_t value = 0; value < words.size(); ++value) {
        for (size_t word = 0; word < count; ++word) {
            if (column.distinct[value].find(m_words[first + word]) != std::string::npos) {
                words[value] |= uint64_t{1} << word;
            }
        }
    }
    return words;
}

void TextFinder::matchRows(const std::vector<size_t>& rows) const {
    const size_t count = m_words.size();
    const uint64_t all = count == 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
    std::vector<std::vector<uint64_t>> shared(m_columns.size());
    for (size_t column = 0; column < m_columns.size(); ++column) {
        if (m_columns[column].shared) {
            shared[column] = sharedWords(m_columns[column], 0, count);
        }
    }
    for (const size_t row : rows) {
        uint64_t found = row >= m_indexedRows ? addedWords(row, 0, count) : 0;
        for (size_t column = 0; column < m_columns.size() && found != all && row < m_indexedRows;
             ++column) {
            const FoldedColumn& folded = m_columns[column];
            if (row >= folded.texts->size()) {
                continue;
            }
            if (folded.shared) {
                const uint32_t value = folded.texts->valueOf(row);
                found |= value < shared[column].size() ? shared[column][value] : 0;
                continue;
            }
            const std::span<const size_t> ends = folded.packedEnds();
            const char* const texts = folded.packedTexts();
            const size_t start = row == 0 ? 0 : ends[row - 1];
            const std::string_view text(texts + start, ends[row] - start);
            for (size_t word = 0; word < count; ++word) {
                if ((found & (uint64_t{1} << word)) == 0 &&
                    text.find(m_words[word]) != std::string_view::npos) {
                    found |= uint64_t{1} << word;
                }
            }
        }
        const bool markOk = !m_onlyMarked || m_marked[row];
        m_accepted[row] = found == all && markOk ? 1 : 0;
    }
}

void TextFinder::matchWords(size_t first, size_t count, std::vector<uint64_t>& found) const {
    const size_t rows = std::min(found.size(), m_indexedRows);
    for (size_t row = rows; row < found.size(); ++row) {
        found[row] |= addedWords(row, first, count);
    }
    for (const FoldedColumn& column : m_columns) {
        const size_t columnRows = std::min(rows, column.texts->size());
        if (column.shared) {
            // Each different text is searched once; its rows take its words.
            const std::vector<uint64_t> words = sharedWords(column, first, count);
            if (std::all_of(words.begin(), words.end(), [](uint64_t each) { return each == 0; })) {
                continue;
            }
            for (size_t row = 0; row < columnRows; ++row) {
                const uint32_t value = column.texts->valueOf(row);
                if (value < words.size()) {
                    found[row] |= words[value];
                }
            }
            continue;
        }
        // The texts are searched from end to end; a row found is left at once for the next. A
        // match that runs on into the next row's text is none.
        const std::span<const size_t> ends = column.packedEnds();
        const char* const texts = column.packedTexts();
        const size_t size = columnRows == 0 ? 0 : ends[columnRows - 1];
        for (size_t word = 0; word < count; ++word) {
            const std::string& wanted = m_words[first + word];
            const uint64_t bit = uint64_t{1} << word;
            size_t at = 0;
            size_t row = 0;
            while (at < size) {
                const void* hit = memmem(texts + at, size - at, wanted.data(), wanted.size());
                if (hit == nullptr) {
                    break;
                }
                const auto offset = static_cast<size_t>(static_cast<const char*>(hit) - texts);
                row = rowHolding(ends, row, columnRows, offset);
                if (offset + wanted.size() <= ends[row]) {
                    found[row] |= bit;
                    at = ends[row];
                } else {
                    at = offset + 1;
                }
            }
        }
    }
}
