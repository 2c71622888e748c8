#include "store/SqlDialect.h"

#include "store/SqlTokens.h"

#include <QHash>
#include <QSet>

#include <vector>

namespace {

using SqlTokens::Kind;
using SqlTokens::Token;
using SqlTokens::tokenize;

const QSet<QString>& fromListEnd()
{
    static const QSet<QString> words{QStringLiteral("where"),  QStringLiteral("order"),     QStringLiteral("group"),
                                     QStringLiteral("having"), QStringLiteral("limit"),     QStringLiteral("union"),
                                     QStringLiteral("except"), QStringLiteral("intersect"), QStringLiteral("window")};
    return words;
}

} // namespace

namespace SqlDialect {

QString resolveSharedColumns(const QString& statement, const ColumnLookup& columnsOf)
{
    // Cheap exit for the common single-table statement.
    if (!statement.contains(u','))
        return statement;

    const std::vector<Token> all = tokenize(statement);
    std::vector<qsizetype> idx; // indexes of the non-space tokens
    for (qsizetype i = 0; i < qsizetype(all.size()); ++i)
        if (all[i].kind != Kind::Space)
            idx.push_back(i);

    auto text = [&](qsizetype k) { return statement.mid(all[idx[k]].begin, all[idx[k]].end - all[idx[k]].begin); };
    auto lower = [&](qsizetype k) { return text(k).toLower(); };
    auto isPunct = [&](qsizetype k, QChar c) {
        return k >= 0 && k < qsizetype(idx.size()) && all[idx[k]].kind == Kind::Punct &&
               statement[all[idx[k]].begin] == c;
    };
    auto isWord = [&](qsizetype k) { return k >= 0 && k < qsizetype(idx.size()) && all[idx[k]].kind == Kind::Word; };

    // Locate the top-level FROM list; a nested select makes the statement too involved to touch.
    qsizetype fromAt = -1;
    int depth = 0;
    int selects = 0;
    for (qsizetype k = 0; k < qsizetype(idx.size()); ++k) {
        if (isPunct(k, u'('))
            ++depth;
        else if (isPunct(k, u')'))
            --depth;
        else if (isWord(k)) {
            const QString w = lower(k);
            if (w == u"select")
                ++selects;
            else if (w == u"from" && depth == 0 && fromAt < 0)
                fromAt = k;
        }
    }
    if (fromAt < 0 || selects != 1)
        return statement;

    QStringList tables;
    qsizetype k = fromAt + 1;
    for (;;) {
        if (!isWord(k) || fromListEnd().contains(lower(k)))
            return statement;
        tables << lower(k);
        ++k;
        if (isPunct(k, u',')) {
            ++k;
            continue;
        }
        if (k < qsizetype(idx.size()) && !(isWord(k) && fromListEnd().contains(lower(k))) && !isPunct(k, u';'))
            return statement; // aliases, joins and the like are left as written
        break;
    }
    const qsizetype fromEnd = k;
    if (tables.size() < 2)
        return statement;

    QHash<QString, QString> owner; // column -> first table that has it, for shared columns only
    QHash<QString, int> seen;
    QHash<QString, QString> first;
    for (const QString& t : tables) {
        for (const QString& c : columnsOf(t)) {
            if (!first.contains(c))
                first.insert(c, t);
            ++seen[c];
        }
    }
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        if (it.value() > 1)
            owner.insert(it.key(), first.value(it.key()));
    if (owner.isEmpty())
        return statement;

    QString out;
    out.reserve(statement.size() + 32);
    qsizetype written = 0;
    for (qsizetype j = 0; j < qsizetype(idx.size()); ++j) {
        if (j >= fromAt && j < fromEnd)
            continue;
        if (!isWord(j) || isPunct(j - 1, u'.') || isPunct(j + 1, u'.') || isPunct(j + 1, u'('))
            continue;
        if (j > 0 && isWord(j - 1) && lower(j - 1) == u"as")
            continue;
        const auto it = owner.constFind(lower(j));
        if (it == owner.cend())
            continue;
        const Token& t = all[idx[j]];
        out += QStringView(statement).mid(written, t.begin - written);
        out += it.value() + u'.' + text(j);
        written = t.end;
    }
    if (written == 0)
        return statement;
    out += QStringView(statement).mid(written);
    return out;
}

} // namespace SqlDialect
