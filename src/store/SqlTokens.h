#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The program's SQL split into tokens: quoted literals, quoted names and comments each stay one
// token, so that nothing inside them is ever taken for a name, a keyword or an operator.
namespace SqlTokens {

enum class Kind
{
    Space, // blanks and comments
    Word,
    Literal,
    QuotedName,
    Number,
    Punct
};

struct Token
{
    Kind kind;
    qsizetype begin;
    qsizetype end;
};

std::vector<Token> tokenize(const QString& text);

// Whether a text spliced into a condition, an assignment or a value of the calculation's
// statements keeps the statement as it is written: the condition binds to the filter before it
// (no top-level `or`), it reads no other rows (no subquery), and it cannot comment out, end or
// extend the statement (no comment, no unterminated literal, no unbalanced parenthesis, no `;`,
// no `where`, no `union`, no function that reads the connection's own counters).
bool keepsToItsRows(const QString& text);

// The columns an arithmetic expression reads, when it is nothing but `columns`, numbers, + - *
// and parentheses; nullopt for anything else (a division or remainder, a function, a literal
// text, NULL, CASE and the like), whose empty result may be meant.
std::optional<QStringList> arithmeticInputs(const QString& expression, const QStringList& columns);

} // namespace SqlTokens
