#include "postgres_text.h"

#include <vector>

#include "date_text.h"
#include "failure.h"

namespace PostgresText {

namespace {

struct Token {
    enum Kind { Space, Word, Bracketed, Quoted, Text, Symbol };
    Kind kind;
    QString text;
    QString out;  // what goes into the translated statement
};

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordPart(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// The end of a part that runs to the closing character, doubled closers inside it; the text's
// end when it is not closed (the server then reports the statement).
qsizetype closedAt(const QString& s, qsizetype from, QChar closer, bool doubles) {
    qsizetype i = from + 1;
    while (i < s.size()) {
        if (s[i] == closer) {
            if (doubles && i + 1 < s.size() && s[i + 1] == closer) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return s.size();
}

std::vector<Token> tokens(const QString& s) {
    std::vector<Token> list;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        qsizetype end = i + 1;
        Token::Kind kind = Token::Symbol;
        if (c.isSpace()) {
            kind = Token::Space;
            while (end < s.size() && s[end].isSpace()) {
                ++end;
            }
        } else if (c == QLatin1Char('\'')) {
            kind = Token::Text;
            end = closedAt(s, i, c, true);
        } else if (c == QLatin1Char('"')) {
            kind = Token::Quoted;
            end = closedAt(s, i, c, true);
        } else if (c == QLatin1Char('[')) {
            kind = Token::Bracketed;
            end = closedAt(s, i, QLatin1Char(']'), false);
        } else if (c == QLatin1Char('-') && end < s.size() && s[end] == QLatin1Char('-')) {
            kind = Token::Space;  // a comment runs to the line's end
            while (end < s.size() && s[end] != QLatin1Char('\n')) {
                ++end;
            }
        } else if (isWordStart(c)) {
            kind = Token::Word;
            while (end < s.size() && isWordPart(s[end])) {
                ++end;
            }
        }
        const QString text = s.mid(i, end - i);
        QString out = text;
        if (kind == Token::Bracketed) {
            QString name = text.mid(1, text.endsWith(QLatin1Char(']')) ? text.size() - 2 : -1);
            name.replace(QLatin1Char('"'), QLatin1String("\"\""));
            out = QLatin1Char('"') + name.toLower() + QLatin1Char('"');
        }
        list.push_back(Token{kind, text, out});
        i = end;
    }
    return list;
}

// A name as the schema knows it: unquoted and bracketed names in lower case.
QString nameOf(const Token& token) {
    switch (token.kind) {
        case Token::Word:
            return token.text.toLower();
        case Token::Bracketed:
            return token.text
                .mid(1, token.text.endsWith(QLatin1Char(']')) ? token.text.size() - 2 : -1)
                .toLower();
        case Token::Quoted:
            return token.text.mid(1, token.text.size() - 2)
                .replace(QLatin1String("\"\""), QLatin1String("\""));
        default:
            return {};
    }
}

bool isName(const Token& token) {
    return token.kind == Token::Word || token.kind == Token::Bracketed ||
           token.kind == Token::Quoted;
}

bool isSymbol(const Token& token, char symbol) {
    return token.kind == Token::Symbol && token.text == QLatin1Char(symbol);
}

bool isWord(const Token& token, const char* word) {
    return token.kind == Token::Word &&
           token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Walks the tokens that are not blanks or comments.
class Walk {
public:
    explicit Walk(std::vector<Token>& list) : m_list(list) { skip(); }
    bool atEnd() const { return m_at >= m_list.size(); }
    Token& token() { return m_list[m_at]; }
    void next() {
        ++m_at;
        skip();
    }
    size_t at() const { return m_at; }

private:
    void skip() {
        while (m_at < m_list.size() && m_list[m_at].kind == Token::Space) {
            ++m_at;
        }
    }
    std::vector<Token>& m_list;
    size_t m_at = 0;
};

void toIsoDate(Token& literal) {
    const QString inner = literal.text.mid(1, literal.text.size() - 2)
                              .replace(QLatin1String("''"), QLatin1String("'"));
    std::optional<QDateTime> date = DateText::fromStorage(inner.toStdString());
    if (!date) {
        date = DateText::parse(inner);
    }
    if (!date) {
        throw Failure(QStringLiteral("The text '%1' is not a date.").arg(inner));
    }
    literal.out = QLatin1Char('\'') + DateText::toStorage(*date) + QLatin1Char('\'');
}

// Reads one value up to a comma or closing parenthesis at its own depth (or, in a SET list, the
// word WHERE); gives its only token when the value is one quoted text.
Token* readValue(Walk& walk, bool stopAtWhere) {
    Token* only = nullptr;
    int count = 0;
    int depth = 0;
    while (!walk.atEnd()) {
        Token& token = walk.token();
        if (depth == 0 && (isSymbol(token, ',') || isSymbol(token, ')') ||
                           (stopAtWhere && isWord(token, "where")))) {
            break;
        }
        if (isSymbol(token, '(')) {
            ++depth;
        } else if (isSymbol(token, ')')) {
            --depth;
        }
        only = &token;
        ++count;
        walk.next();
    }
    return count == 1 && only->kind == Token::Text ? only : nullptr;
}

void convertInsertDates(Walk& walk, const Schema& schema) {
    walk.next();  // insert
    if (walk.atEnd() || !isWord(walk.token(), "into")) {
        return;
    }
    walk.next();
    if (walk.atEnd() || !isName(walk.token())) {
        return;
    }
    const QString table = nameOf(walk.token());
    walk.next();
    QStringList columns;
    if (walk.atEnd() || !isSymbol(walk.token(), '(')) {
        return;  // without a column list no column is known by name
    }
    walk.next();
    while (!walk.atEnd() && !isSymbol(walk.token(), ')')) {
        if (isName(walk.token())) {
            columns.append(nameOf(walk.token()));
        }
        walk.next();
    }
    if (walk.atEnd()) {
        return;
    }
    walk.next();
    if (walk.atEnd() || !isWord(walk.token(), "values")) {
        return;
    }
    walk.next();
    if (walk.atEnd() || !isSymbol(walk.token(), '(')) {
        return;
    }
    walk.next();
    for (qsizetype index = 0; !walk.atEnd(); ++index) {
        Token* literal = readValue(walk, false);
        if (literal != nullptr && index < columns.size() &&
            schema.dateColumns.contains(table + QLatin1Char('.') + columns[index])) {
            toIsoDate(*literal);
        }
        if (walk.atEnd() || !isSymbol(walk.token(), ',')) {
            return;
        }
        walk.next();
    }
}

void convertUpdateDates(Walk& walk, const Schema& schema) {
    walk.next();  // update
    if (walk.atEnd() || !isName(walk.token())) {
        return;
    }
    const QString table = nameOf(walk.token());
    walk.next();
    if (walk.atEnd() || !isWord(walk.token(), "set")) {
        return;
    }
    walk.next();
    while (!walk.atEnd() && isName(walk.token())) {
        const QString column = nameOf(walk.token());
        walk.next();
        if (walk.atEnd() || !isSymbol(walk.token(), '=')) {
            return;
        }
        walk.next();
        Token* literal = readValue(walk, true);
        if (literal != nullptr && schema.dateColumns.contains(table + QLatin1Char('.') + column)) {
            toIsoDate(*literal);
        }
        if (walk.atEnd() || !isSymbol(walk.token(), ',')) {
            return;
        }
        walk.next();
    }
}

// first(t.c) -> first(t.c ORDER BY t.<insertion order>); other arguments stay in scan order.
void orderFirstAndLast(std::vector<Token>& list, const Schema& schema) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (!isWord(list[i], "first") && !isWord(list[i], "last")) {
            continue;
        }
        std::vector<size_t> parts;  // ( table . column )
        for (size_t j = i + 1; j < list.size() && parts.size() < 5; ++j) {
            if (list[j].kind != Token::Space) {
                parts.push_back(j);
            }
        }
        if (parts.size() < 5 || !isSymbol(list[parts[0]], '(') || !isName(list[parts[1]]) ||
            !isSymbol(list[parts[2]], '.') || !isName(list[parts[3]]) ||
            !isSymbol(list[parts[4]], ')')) {
            continue;
        }
        const auto order = schema.insertionOrder.constFind(nameOf(list[parts[1]]));
        if (order != schema.insertionOrder.constEnd()) {
            list[parts[3]].out += QLatin1String(" ORDER BY ") + list[parts[1]].out +
                                  QLatin1String(".\"") + order.value() + QLatin1Char('"');
        }
        i = parts[4];
    }
}

void convertDates(std::vector<Token>& list, const Schema& schema) {
    Walk walk(list);
    if (!walk.atEnd()) {
        if (isWord(walk.token(), "insert")) {
            convertInsertDates(walk, schema);
        } else if (isWord(walk.token(), "update")) {
            convertUpdateDates(walk, schema);
        }
    }
}

QString joined(const std::vector<Token>& list, qsizetype size) {
    QString out;
    out.reserve(size + 16);
    for (const Token& token : list) {
        out += token.out;
    }
    return out;
}

}  // namespace

QString translate(const QString& statement, const Schema& schema) {
    std::vector<Token> list = tokens(statement);
    orderFirstAndLast(list, schema);
    convertDates(list, schema);
    return joined(list, statement.size());
}

QString withIsoDates(const QString& statement, const Schema& schema) {
    std::vector<Token> list = tokens(statement);
    for (Token& token : list) {
        token.out = token.text;
    }
    convertDates(list, schema);
    return joined(list, statement.size());
}

}  // namespace PostgresText
