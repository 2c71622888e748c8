#include "store/PostgresSchema.h"

#include "store/StoreSchema.h"

namespace {

const char* const IntegerTypes[] = {"int2", "int4", "int8"};
const char* const RealTypes[] = {"float4", "float8"};

QString divisionFunction(const QString& schema, const QString& op, const QString& name, const QString& left,
                         const QString& right, const QString& result)
{
    // Plain SQL without STRICT, so that the planner inlines it into the statement.
    return QStringLiteral("CREATE FUNCTION %1.%2(a %3, b %4) RETURNS %5 LANGUAGE sql IMMUTABLE PARALLEL SAFE AS "
                          "'SELECT CASE WHEN b = 0 THEN NULL ELSE a OPERATOR(pg_catalog.%6) b END'")
        .arg(schema, name, left, right, result, op);
}

void addDivision(QStringList& out, const QString& schema, const QString& left, const QString& right,
                 const QString& result, bool remainder)
{
    const QStringList ops =
        remainder ? QStringList{QStringLiteral("/"), QStringLiteral("%")} : QStringList{QStringLiteral("/")};
    for (const QString& op : ops) {
        const QString name = op == u"/" ? QStringLiteral("wl_div") : QStringLiteral("wl_mod");
        out << divisionFunction(schema, op, name, left, right, result);
        out << QStringLiteral("CREATE OPERATOR %1.%2 (LEFTARG = %3, RIGHTARG = %4, FUNCTION = %1.%5)")
                   .arg(schema, op, left, right, name);
    }
}

QString widerInteger(const QString& a, const QString& b)
{
    const auto rank = [](const QString& t) { return t == u"int8" ? 3 : t == u"int4" ? 2 : 1; };
    const QString wider = rank(a) >= rank(b) ? a : b;
    // Two smallints divide as int2 on the server; as whole numbers on the desktop store.
    return wider == u"int2" ? QStringLiteral("int2") : wider;
}

} // namespace

namespace PostgresSchema {

QStringList compatibilityStatements(const QString& s)
{
    QStringList out;
    // Every pair of integer types, and every pair of real types, has an exact operator in the
    // server's catalogue; each is shadowed. Mixed pairs are cast to one of these by the server.
    for (const char* a : IntegerTypes)
        for (const char* b : IntegerTypes)
            addDivision(out, s, QString::fromLatin1(a), QString::fromLatin1(b),
                        widerInteger(QString::fromLatin1(a), QString::fromLatin1(b)), true);
    for (const char* a : RealTypes)
        for (const char* b : RealTypes)
            addDivision(out, s, QString::fromLatin1(a), QString::fromLatin1(b),
                        qstrcmp(a, "float4") == 0 && qstrcmp(b, "float4") == 0 ? QStringLiteral("float4")
                                                                               : QStringLiteral("float8"),
                        false);
    addDivision(out, s, QStringLiteral("numeric"), QStringLiteral("numeric"), QStringLiteral("numeric"), true);
    const QString fn = QStringLiteral("CREATE FUNCTION %1.").arg(s);
    out << fn + QStringLiteral("ifnull(a anycompatible, b anycompatible) RETURNS anycompatible LANGUAGE sql "
                               "IMMUTABLE AS 'SELECT coalesce(a, b)'");
    out << fn + QStringLiteral("iif(c boolean, a anycompatible, b anycompatible) RETURNS anycompatible LANGUAGE sql "
                               "IMMUTABLE AS 'SELECT CASE WHEN c THEN a ELSE b END'");
    out << fn + QStringLiteral("instr(a text, b text) RETURNS integer LANGUAGE sql IMMUTABLE AS "
                               "'SELECT strpos(a, b)'");
    out << fn + QStringLiteral(
                    "max(a anycompatible, b anycompatible) RETURNS anycompatible LANGUAGE sql "
                    "IMMUTABLE AS 'SELECT CASE WHEN a IS NULL OR b IS NULL THEN NULL ELSE greatest(a, b) END'");
    out << fn + QStringLiteral("min(a anycompatible, b anycompatible) RETURNS anycompatible LANGUAGE sql "
                               "IMMUTABLE AS 'SELECT CASE WHEN a IS NULL OR b IS NULL THEN NULL ELSE least(a, b) END'");
    // Half away from zero, on the decimal value of the double, as the desktop store rounds.
    out << fn + QStringLiteral("round(a double precision, n integer) RETURNS double precision LANGUAGE sql "
                               "IMMUTABLE AS 'SELECT pg_catalog.round(a::numeric, n)::double precision'");
    out << fn + QStringLiteral("gbk_len(a text) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS "
                               "'SELECT octet_length(convert_to(a, ''GBK''))'");
    // The desktop store's group_concat(x [, separator]): the values that are not null as text,
    // joined by the separator (a comma unless given).
    out << fn + QStringLiteral("group_concat_step(acc text, v anyelement, sep text) RETURNS text LANGUAGE sql "
                               "IMMUTABLE AS 'SELECT CASE WHEN v IS NULL THEN acc WHEN acc IS NULL THEN v::text "
                               "ELSE acc || sep || v::text END'");
    out << fn + QStringLiteral("group_concat_step(acc text, v anyelement) RETURNS text LANGUAGE sql IMMUTABLE AS "
                               "'SELECT %1.group_concat_step(acc, v, '','')'")
                    .arg(s);
    out << QStringLiteral("CREATE AGGREGATE %1.group_concat(anyelement, text) (SFUNC = %1.group_concat_step, "
                          "STYPE = text)")
               .arg(s);
    out << QStringLiteral("CREATE AGGREGATE %1.group_concat(anyelement) (SFUNC = %1.group_concat_step, STYPE = text)")
               .arg(s);
    // total(x): the sum as a double, 0 over no rows.
    out << QStringLiteral("CREATE AGGREGATE %1.total(double precision) (SFUNC = float8pl, STYPE = double precision, "
                          "INITCOND = '0')")
               .arg(s);
    return out;
}

QStringList createStatements(const QString& schema)
{
    QStringList out = compatibilityStatements(schema);
    out << StoreSchema::createStatements(StoreSchema::Engine::Server);
    // The calculation ends every node with one update of all teachers' totals, which on the
    // server would write a new version of each teacher, checks and index entries included, also of
    // the many whose totals did not change: while it runs, such an update leaves the row alone.
    out << QStringLiteral("CREATE TRIGGER rydm_unchanged BEFORE UPDATE ON rydm FOR EACH ROW WHEN "
                          "(current_setting('%1', true) = 'on') EXECUTE FUNCTION suppress_redundant_updates_trigger()")
               .arg(QLatin1String(CalculatingSetting));
    out << QStringLiteral("CREATE TABLE %1 (version INTEGER NOT NULL)").arg(QLatin1String(LayoutTable));
    out << QStringLiteral("INSERT INTO %1 (version) VALUES (%2)")
               .arg(QLatin1String(LayoutTable))
               .arg(StoreSchema::Version);
    return out;
}

QString calculationRole(const QString& database)
{
    QString name;
    for (const QChar c : database.toLower())
        name += (c.isLetterOrNumber() && c.unicode() < 0x80) ? c : QChar(u'_');
    return name.left(40) + QStringLiteral("_calc");
}

} // namespace PostgresSchema
