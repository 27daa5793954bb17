#include "text_column.h"

#include <algorithm>

void TextColumn::clear() {
    *this = TextColumn();
}

void TextColumn::append(const QString& text) {
    if (!m_shared) {
        appendPacked(text);
        return;
    }
    const TextInterner::Shared shared = m_texts.find(text);
    if (shared.text == nullptr) {
        pack();
        appendPacked(text);
        return;
    }
    m_values.push_back(static_cast<uint16_t>(shared.number));
}

void TextColumn::append(const QString& text, uint32_t number) {
    if (m_shared && number != TextInterner::kNone) {
        m_values.push_back(static_cast<uint16_t>(number));
        return;
    }
    append(text);
}

void TextColumn::appendPacked(const QString& text) {
    const bool ascii =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii) {
        std::transform(text.cbegin(), text.cend(), m_bytes.extend(static_cast<size_t>(text.size())),
                       [](QChar c) { return static_cast<char>(c.unicode()); });
    } else if (text.isValidUtf16()) {
        const QByteArray bytes = text.toUtf8();
        m_bytes.append(bytes.constData(), static_cast<size_t>(bytes.size()));
    } else {
        m_odd.emplace(m_ends.size(), text);
    }
    m_ends.push_back(m_bytes.size());
}

void TextColumn::pack() {
    const SharedArray<uint16_t> values = std::move(m_values);
    const TextInterner texts = std::move(m_texts);
    m_values = {};
    m_texts = {};
    m_shared = false;
    m_ends.reserve(values.capacity());
    for (const uint16_t value : values) {
        appendPacked(texts.text(value));
    }
}

void TextColumn::set(size_t row, const QString& text) {
    if (row >= size()) {
        return;
    }
    if (m_shared) {
        const TextInterner::Shared shared = m_texts.find(text);
        if (shared.text != nullptr) {
            m_values.set(row, static_cast<uint16_t>(shared.number));
            return;
        }
        pack();
    }
    if (row + 1 == m_ends.size()) {
        m_bytes.shorten(row == 0 ? 0 : m_ends[row - 1]);
        m_ends.shorten(row);
        m_odd.erase(row);
        appendPacked(text);
        return;
    }
    std::vector<QString> texts;
    texts.reserve(size());
    for (size_t each = 0; each < size(); ++each) {
        texts.push_back(each == row ? text : this->text(each));
    }
    clear();
    m_shared = false;
    for (const QString& each : texts) {
        appendPacked(each);
    }
}

QString TextColumn::text(size_t row) const {
    if (row >= size()) {
        return {};
    }
    if (m_shared) {
        return m_texts.text(m_values[row]);
    }
    if (!hasUtf8(row)) {
        return m_odd.at(row);
    }
    const std::string_view bytes = utf8(row);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
