#include "store/StatementShape.h"

#include "store/SqlTokens.h"

namespace {

using SqlTokens::Kind;
using SqlTokens::Token;

bool isTakingKeyword(QStringView word)
{
    for (const char* keyword : {"where", "values", "set"})
        if (word.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// A literal's text between its quotes, doubled quotes undoubled; nullopt when it is not closed.
std::optional<QString> literalValue(QStringView literal)
{
    if (literal.size() < 2 || literal.back() != u'\'')
        return std::nullopt;
    return literal.mid(1, literal.size() - 2).toString().replace(QStringLiteral("''"), QStringLiteral("'"));
}

void append(std::string& out, QStringView text)
{
    out += text.toUtf8().toStdString();
}

} // namespace

std::optional<StatementShape> StatementShape::of(const QString& statement)
{
    StatementShape shape;
    shape.text.reserve(std::size_t(statement.size()) * 2);
    const std::vector<Token> tokens = SqlTokens::tokenize(statement);
    bool taking = false;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        const QStringView text = QStringView(statement).mid(t.begin, t.end - t.begin);
        const Token* next = k + 1 < tokens.size() ? &tokens[k + 1] : nullptr;
        switch (t.kind) {
        case Kind::Literal: {
            const std::optional<QString> value = literalValue(text);
            if (!value)
                return std::nullopt; // the store will say what is wrong with it
            // A blob literal (x'..') is not text.
            const bool blob = k > 0 && tokens[k - 1].kind == Kind::Word && tokens[k - 1].end == t.begin &&
                              QStringView(statement)
                                      .mid(tokens[k - 1].begin, tokens[k - 1].end - tokens[k - 1].begin)
                                      .compare(QLatin1String("x"), Qt::CaseInsensitive) == 0;
            if (taking && !blob) {
                shape.text.push_back('?');
                shape.values.push_back(value->toUtf8().toStdString());
            } else {
                append(shape.text, text);
            }
            break;
        }
        case Kind::Punct:
            // Parameters of its own: "?", ":name", "@name", "$name".
            if (text == u"?" || ((text == u":" || text == u"@" || text == u"$") && next && next->kind == Kind::Word &&
                                 next->begin == t.end))
                return std::nullopt;
            append(shape.text, text);
            break;
        case Kind::Word:
            if (!taking && isTakingKeyword(text))
                taking = true;
            append(shape.text, text);
            break;
        default:
            append(shape.text, text);
            break;
        }
    }
    if (shape.values.empty())
        return std::nullopt;
    return shape;
}
