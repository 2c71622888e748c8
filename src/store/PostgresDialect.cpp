#include "store/PostgresDialect.h"

#include "store/SqlTokens.h"

#include <QHash>

#include <cmath>

#include <vector>

namespace {

using SqlTokens::Kind;
using SqlTokens::Token;

class Rewriter
{
public:
    Rewriter(const QString& statement, const PostgresDialect::Names& names, bool bound)
        : m_s(statement), m_names(names), m_bound(bound), m_all(SqlTokens::tokenize(statement))
    {
        for (qsizetype i = 0; i < qsizetype(m_all.size()); ++i)
            if (m_all[i].kind != Kind::Space)
                m_idx.push_back(i);
    }

    QString run()
    {
        QString out;
        out.reserve(m_s.size() + 16);
        qsizetype written = 0;
        auto replace = [&](const Token& from, const Token& to, const QString& with) {
            out += QStringView(m_s).mid(written, from.begin - written);
            out += with;
            written = to.end;
        };
        findUnnamedSubqueries();
        for (qsizetype k = 0; k < size(); ++k) {
            const Token& t = token(k);
            if (m_unnamed.contains(k)) {
                replace(t, t, QStringLiteral(") AS wl_subquery%1").arg(m_unnamed.indexOf(k) + 1));
            } else if (t.kind == Kind::QuotedName && m_s[t.begin] == u'"') {
                if (const auto literal = textLiteral(t))
                    replace(t, t, *literal);
            } else if (isPunct(k, u'=') && isPunct(k + 1, u'=') && adjacent(k)) {
                replace(t, token(k + 1), QStringLiteral("="));
                ++k;
            } else if (t.kind == Kind::Word && lower(k) == u"work" && isPunct(k + 1, u'.') && adjacent(k)) {
                // The import's staging tables: a database of their own on the desktop store, the
                // connection's temporary tables on a server.
                replace(t, t, QStringLiteral("pg_temp"));
            } else if (t.kind == Kind::Word && lower(k) == u"like" && !(k > 0 && lower(k - 1) == u"i")) {
                replace(t, t, QStringLiteral("ilike"));
            } else if (m_bound && isPunct(k, u'?')) {
                replace(t, t, u'$' + QString::number(++m_positional));
            } else if (m_bound && isPunct(k, u':') && k + 1 < size() && token(k + 1).kind == Kind::Word &&
                       adjacent(k) && !(k > 0 && isPunct(k - 1, u':'))) {
                replace(t, token(k + 1), u'$' + QString::number(parameterNumber(lower(k + 1))));
                ++k;
            } else if (isByteOrder(k)) {
                replace(t, t, QStringLiteral("\"C\""));
            } else if (t.kind == Kind::Number && isHex(text(k))) {
                replace(t, t, hexValue(text(k)));
            } else if (t.kind == Kind::Number && isInfinite(text(k))) {
                replace(t, t, QStringLiteral("'Infinity'::float8"));
            } else if (t.kind == Kind::Number && isReal(text(k)) && !isPunct(k - 1, u'.')) {
                // 0.15 is a double on the desktop store, an exact decimal on the server.
                replace(t, t, text(k) + QStringLiteral("::float8"));
            } else if (t.kind == Kind::Word && lower(k) == u"by" && k > 0 && lower(k - 1) == u"order") {
                const qsizetype end = orderItems(k + 1, out, written);
                k = end - 1;
            }
        }
        if (written == 0)
            out = m_s;
        else
            out += QStringView(m_s).mid(written);
        if (const QString table = rowsInStoreOrder(); !table.isEmpty())
            out = withoutTrailingSemicolon(out) + QStringLiteral(" ORDER BY %1.rowid").arg(table);
        return out;
    }

private:
    // The desktop store hands the rows of one table in the order they were stored where a query
    // gives no order of its own, and the program's lists rely on it (a row list keeps its order
    // after a calculation rewrote the rows). The server keeps no such order: such a query (one
    // table, its rows themselves, no order, grouping or limit of its own) is ordered by the row
    // numbers. Returns the table (or its alias) to order by, or empty.
    QString rowsInStoreOrder()
    {
        static const QSet<QString> ownOrder{
            QStringLiteral("order"),  QStringLiteral("group"), QStringLiteral("union"),  QStringLiteral("intersect"),
            QStringLiteral("except"), QStringLiteral("limit"), QStringLiteral("offset"), QStringLiteral("distinct"),
            QStringLiteral("having"), QStringLiteral("join"),  QStringLiteral("into"),   QStringLiteral("for")};
        static const QSet<QString> aggregates{
            QStringLiteral("count"), QStringLiteral("sum"),   QStringLiteral("avg"),         QStringLiteral("min"),
            QStringLiteral("max"),   QStringLiteral("total"), QStringLiteral("group_concat")};
        if (size() < 4 || lower(0) != u"select")
            return {};
        qsizetype from = -1;
        int depth = 0;
        for (qsizetype k = 0; k < size(); ++k) {
            if (isPunct(k, u'('))
                ++depth;
            else if (isPunct(k, u')'))
                --depth;
            else if (token(k).kind == Kind::Word) {
                const QString w = lower(k);
                // An aggregate anywhere in what is selected, or an order of the query's own.
                if ((from < 0 && aggregates.contains(w) && isPunct(k + 1, u'(')) ||
                    (depth == 0 && ownOrder.contains(w)))
                    return {};
                if (depth == 0 && w == u"from" && from < 0)
                    from = k;
            }
        }
        if (from < 0 || from + 1 >= size() || token(from + 1).kind != Kind::Word)
            return {};
        // One table, perhaps with a name of its own, then the condition or the end.
        qsizetype next = from + 2;
        QString name = text(from + 1);
        if (lower(next) == u"as" && token(next + 1).kind == Kind::Word) {
            name = text(next + 1);
            next += 2;
        } else if (next < size() && token(next).kind == Kind::Word && lower(next) != u"where") {
            name = text(next);
            ++next;
        }
        if (next < size() && lower(next) != u"where" && !isPunct(next, u';'))
            return {};
        if (!m_names.numbered.contains(lower(from + 1)) || !endsComplete())
            return {};
        return name;
    }

    // Whether the statement ends where an order may follow: a statement cut short (its condition
    // ending in "and", say) is left as it is, so that the store's refusal speaks of what was given.
    bool endsComplete() const
    {
        static const QSet<QString> open{QStringLiteral("and"),   QStringLiteral("or"),      QStringLiteral("not"),
                                        QStringLiteral("where"), QStringLiteral("like"),    QStringLiteral("in"),
                                        QStringLiteral("is"),    QStringLiteral("between"), QStringLiteral("from"),
                                        QStringLiteral("select")};
        qsizetype last = size() - 1;
        while (last >= 0 && isPunct(last, u';'))
            --last;
        if (last < 0)
            return false;
        const Token& t = token(last);
        if (t.kind == Kind::Punct)
            return isPunct(last, u')') || isPunct(last, u'*');
        return t.kind != Kind::Word || !open.contains(lower(last));
    }

    static QString withoutTrailingSemicolon(QString sql)
    {
        while (!sql.isEmpty() && (sql.back().isSpace() || sql.back() == u';'))
            sql.chop(1);
        return sql;
    }

    qsizetype size() const { return qsizetype(m_idx.size()); }
    const Token& token(qsizetype k) const { return m_all[m_idx[k]]; }
    QString text(qsizetype k) const { return m_s.mid(token(k).begin, token(k).end - token(k).begin); }
    QString lower(qsizetype k) const { return k >= 0 && k < size() ? text(k).toLower() : QString(); }
    bool isPunct(qsizetype k, QChar c) const
    {
        return k >= 0 && k < size() && token(k).kind == Kind::Punct && m_s[token(k).begin] == c;
    }
    bool adjacent(qsizetype k) const { return k + 1 < size() && token(k).end == token(k + 1).begin; }

    // A number written beyond every double is an infinity on the desktop store; the server would
    // keep it as an exact decimal.
    static bool isInfinite(const QString& number)
    {
        if (!number.contains(u'e', Qt::CaseInsensitive) && number.size() < 300)
            return false;
        return std::isinf(number.toDouble());
    }

    // COLLATE BINARY: the desktop store's byte order of the UTF-8 text.
    bool isByteOrder(qsizetype k) const
    {
        return token(k).kind == Kind::Word && lower(k) == u"binary" && lower(k - 1) == u"collate";
    }

    void replaceWith(qsizetype k, const QString& with, QString& out, qsizetype& written) const
    {
        out += QStringView(m_s).mid(written, token(k).begin - written);
        out += with;
        written = token(k).end;
    }

    static bool isHex(const QString& number) { return number.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive); }

    static bool isReal(const QString& number)
    {
        return !isHex(number) && (number.contains(u'.') || number.contains(u'e', Qt::CaseInsensitive));
    }

    // 0x1E is 30 on the desktop store (a 64-bit two's complement); the server reads no such form.
    static QString hexValue(const QString& number)
    {
        bool ok = false;
        const quint64 value = number.mid(2).toULongLong(&ok, 16);
        return ok ? QString::number(qint64(value)) : number;
    }

    int parameterNumber(const QString& name)
    {
        const auto it = m_named.constFind(name);
        if (it != m_named.cend())
            return it.value();
        const int n = ++m_positional;
        m_named.insert(name, n);
        return n;
    }

    // The desktop store takes a subquery in FROM without a name; the server wants one. The closing
    // parentheses of such subqueries.
    void findUnnamedSubqueries()
    {
        static const QStringList follows{QStringLiteral("where"),    QStringLiteral("group"),  QStringLiteral("order"),
                                         QStringLiteral("limit"),    QStringLiteral("union"),  QStringLiteral("join"),
                                         QStringLiteral("inner"),    QStringLiteral("left"),   QStringLiteral("cross"),
                                         QStringLiteral("on"),       QStringLiteral("having"), QStringLiteral("except"),
                                         QStringLiteral("intersect")};
        for (qsizetype k = 0; k + 1 < size(); ++k) {
            if (!(lower(k) == u"from" || isPunct(k, u',')) || !isPunct(k + 1, u'(') || lower(k + 2) != u"select")
                continue;
            int depth = 0;
            qsizetype close = k + 1;
            for (; close < size(); ++close) {
                if (isPunct(close, u'('))
                    ++depth;
                else if (isPunct(close, u')') && --depth == 0)
                    break;
            }
            if (close >= size())
                return;
            const qsizetype next = close + 1;
            if (next >= size() || isPunct(next, u')') || isPunct(next, u',') || isPunct(next, u';') ||
                follows.contains(lower(next)))
                m_unnamed << close;
        }
    }

    // "abc" is a name when a table has such a column; otherwise the desktop store reads it as text.
    std::optional<QString> textLiteral(const Token& t) const
    {
        QString inner = m_s.mid(t.begin + 1, t.end - t.begin - 2);
        if (t.end - t.begin < 2 || m_s[t.end - 1] != u'"')
            return std::nullopt;
        inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
        if (m_names.columns.contains(inner.toLower()))
            return std::nullopt;
        inner.replace(u'\'', QStringLiteral("''"));
        return u'\'' + inner + u'\'';
    }

    // The items of an ORDER BY from token `k` on: a name column alone (qualified or not, with or
    // without a direction) is ordered by its GBK bytes. Returns the token after the list.
    qsizetype orderItems(qsizetype k, QString& out, qsizetype& written)
    {
        int depth = 0;
        qsizetype itemStart = k;
        for (; k <= size(); ++k) {
            const bool atEnd =
                k == size() ||
                (depth == 0 && (isPunct(k, u')') || isPunct(k, u';') || lower(k) == u"limit" || lower(k) == u"offset"));
            if (atEnd || (depth == 0 && isPunct(k, u','))) {
                wrapIfName(itemStart, k, out, written);
                if (atEnd)
                    return k;
                itemStart = k + 1;
                continue;
            }
            if (isPunct(k, u'('))
                ++depth;
            else if (isPunct(k, u')'))
                --depth;
            else if (isByteOrder(k))
                replaceWith(k, QStringLiteral("\"C\""), out, written);
        }
        return k;
    }

    void wrapIfName(qsizetype from, qsizetype to, QString& out, qsizetype& written)
    {
        qsizetype nameEnd = to;
        if (nameEnd > from && (lower(nameEnd - 1) == u"asc" || lower(nameEnd - 1) == u"desc"))
            --nameEnd;
        qsizetype column = -1;
        if (nameEnd - from == 1 && token(from).kind == Kind::Word)
            column = from;
        else if (nameEnd - from == 3 && token(from).kind == Kind::Word && isPunct(from + 1, u'.') &&
                 token(from + 2).kind == Kind::Word)
            column = from + 2;
        if (column < 0 || !m_names.gbkOrdered.contains(lower(column)))
            return;
        const Token& first = token(from);
        const Token& last = token(nameEnd - 1);
        out += QStringView(m_s).mid(written, first.begin - written);
        out += QStringLiteral("convert_to(") + m_s.mid(first.begin, last.end - first.begin) + QStringLiteral(",'GBK')");
        written = last.end;
    }

    const QString& m_s;
    const PostgresDialect::Names& m_names;
    bool m_bound;
    std::vector<Token> m_all;
    std::vector<qsizetype> m_idx;
    int m_positional = 0;
    QList<qsizetype> m_unnamed;
    QHash<QString, int> m_named;
};

} // namespace

namespace PostgresDialect {

QString sharedPass(const QString& statement, const Names& names)
{
    return SqlDialect::resolveSharedColumns(statement, names.columnsOf);
}

QString translate(const QString& statement, const Names& names, bool bound)
{
    const QString qualified = SqlDialect::resolveSharedColumns(statement, names.columnsOf);
    return Rewriter(qualified, names, bound).run();
}

} // namespace PostgresDialect
