#include "case_finder.h"

#include <QStringList>
#include <string_view>

namespace {

const QString kOverdueWord = QStringLiteral("overdue");

bool isAscii(QStringView text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

// Appends the folded text; plain ASCII, the usual case, without a round trip through QString.
void appendFolded(std::string& out, const QString& text) {
    if (isAscii(text)) {
        for (const QChar c : text) {
            const auto byte = static_cast<char>(c.unicode());
            out.push_back(byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte);
        }
        return;
    }
    const QByteArray utf8 = CaseFinder::fold(text).toUtf8();
    out.append(utf8.constData(), static_cast<size_t>(utf8.size()));
}

}  // namespace

QString CaseFinder::fold(QStringView text) {
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

void CaseFinder::clear() {
    m_text.clear();
    m_starts.assign(1, 0);
    m_overdue.clear();
}

void CaseFinder::addRow(std::span<const QString> cells, bool overdue) {
    if (m_starts.empty()) {
        m_starts.push_back(0);
    }
    for (const QString& cell : cells) {
        appendFolded(m_text, cell);
        // A line break between cells: no typed word, which has no white space, spans two.
        m_text.push_back('\n');
    }
    m_starts.push_back(m_text.size());
    m_overdue.push_back(overdue);
}

bool CaseFinder::overdue(int row) const {
    return row >= 0 && static_cast<size_t>(row) < m_overdue.size() &&
           m_overdue[static_cast<size_t>(row)];
}

void CaseFinder::setQuery(const QString& typed) {
    m_words.clear();
    m_onlyOverdue = false;
    const QStringList words = fold(typed).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& word : words) {
        if (word == kOverdueWord) {
            m_onlyOverdue = true;
        } else {
            m_words.push_back(word.toStdString());
        }
    }
}

bool CaseFinder::accepts(int row) const {
    if (row < 0 || static_cast<size_t>(row) + 1 >= m_starts.size()) {
        return false;
    }
    if (m_onlyOverdue && !m_overdue[static_cast<size_t>(row)]) {
        return false;
    }
    const size_t start = m_starts[static_cast<size_t>(row)];
    const std::string_view text(m_text.data() + start,
                                m_starts[static_cast<size_t>(row) + 1] - start);
    for (const std::string& word : m_words) {
        if (text.find(word) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}
