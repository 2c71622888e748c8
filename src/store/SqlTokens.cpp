#include "store/SqlTokens.h"

#include <QSet>

namespace SqlTokens {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c.unicode() >= 0x80;
}

bool isWordPart(QChar c)
{
    return isWordStart(c) || c.isDigit() || c == u'$';
}

qsizetype quotedEnd(const QString& s, qsizetype i)
{
    const qsizetype n = s.size();
    const QChar opening = s[i];
    const QChar closing = opening == u'[' ? QChar(u']') : opening;
    ++i;
    while (i < n) {
        if (s[i] == closing) {
            if (closing != u']' && i + 1 < n && s[i + 1] == closing) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return n;
}

QStringView textOf(const QString& s, const Token& t)
{
    return QStringView(s).mid(t.begin, t.end - t.begin);
}

bool isPunct(const QString& s, const Token& t, QChar c)
{
    return t.kind == Kind::Punct && s[t.begin] == c;
}

// A literal or quoted name whose closing quote is missing runs to the end of the text.
bool isUnterminated(const QString& s, const Token& t)
{
    if (t.kind != Kind::Literal && t.kind != Kind::QuotedName)
        return false;
    const QChar opening = s[t.begin];
    const QChar closing = opening == u'[' ? QChar(u']') : opening;
    return t.end - t.begin < 2 || s[t.end - 1] != closing;
}

} // namespace

std::vector<Token> tokenize(const QString& s)
{
    std::vector<Token> tokens;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        const QChar c = s[i];
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            tokens.push_back({Kind::Space, start, i});
        } else if (c == u'-' && i + 1 < n && s[i + 1] == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
            tokens.push_back({Kind::Space, start, i});
        } else if (c == u'/' && i + 1 < n && s[i + 1] == u'*') {
            const qsizetype close = s.indexOf(QStringLiteral("*/"), i + 2);
            i = close < 0 ? n : close + 2;
            tokens.push_back({Kind::Space, start, i});
        } else if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            i = quotedEnd(s, i);
            tokens.push_back({c == u'\'' ? Kind::Literal : Kind::QuotedName, start, i});
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            const bool hex = c == u'0' && i + 1 < n && (s[i + 1] == u'x' || s[i + 1] == u'X');
            while (i < n && (s[i].isLetterOrNumber() || s[i] == u'.')) {
                // An exponent's sign belongs to the number: 1e-7.
                if (!hex && (s[i] == u'e' || s[i] == u'E') && i + 2 < n && (s[i + 1] == u'-' || s[i + 1] == u'+') &&
                    s[i + 2].isDigit())
                    ++i;
                ++i;
            }
            tokens.push_back({Kind::Number, start, i});
        } else if (isWordStart(c)) {
            while (i < n && isWordPart(s[i]))
                ++i;
            tokens.push_back({Kind::Word, start, i});
        } else {
            ++i;
            tokens.push_back({Kind::Punct, start, i});
        }
    }
    return tokens;
}

bool keepsToItsRows(const QString& text)
{
    static const QSet<QString> reaching{QStringLiteral("select"),        QStringLiteral("where"),
                                        QStringLiteral("union"),         QStringLiteral("changes"),
                                        QStringLiteral("total_changes"), QStringLiteral("last_insert_rowid")};
    int depth = 0;
    for (const Token& t : tokenize(text)) {
        if (t.kind == Kind::Space) {
            if (textOf(text, t).trimmed().size() > 0)
                return false; // a comment
        } else if (isUnterminated(text, t) || isPunct(text, t, u';')) {
            return false;
        } else if (isPunct(text, t, u'(')) {
            ++depth;
        } else if (isPunct(text, t, u')')) {
            if (--depth < 0)
                return false;
        } else if (t.kind == Kind::Word) {
            const QString word = textOf(text, t).toString().toLower();
            if (reaching.contains(word) || (depth == 0 && word == u"or"))
                return false;
        }
    }
    return depth == 0;
}

std::optional<QStringList> arithmeticInputs(const QString& expression, const QStringList& columns)
{
    QStringList inputs;
    for (const Token& t : tokenize(expression)) {
        switch (t.kind) {
        case Kind::Space:
            if (textOf(expression, t).trimmed().size() > 0)
                return std::nullopt;
            break;
        case Kind::Number:
            break;
        case Kind::Punct:
            if (!QStringLiteral("+-*()").contains(expression[t.begin]))
                return std::nullopt;
            break;
        case Kind::Word: {
            const QString name = textOf(expression, t).toString().toLower();
            if (!columns.contains(name))
                return std::nullopt;
            if (!inputs.contains(name))
                inputs << name;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return inputs;
}

} // namespace SqlTokens
