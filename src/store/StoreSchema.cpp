#include "store/StoreSchema.h"

#include "store/WorkloadCategories.h"

namespace StoreSchema {
namespace {

using T = ColumnType;

QString columnSql(const ColumnDef& c, bool checked)
{
    const QString n = QString::fromLatin1(c.name);
    QString sql = n + u' ';
    switch (c.type) {
    case T::Integer:
        sql += QStringLiteral("INTEGER");
        if (checked)
            sql += QStringLiteral(" CHECK(%1 IS NULL OR (typeof(%1)='integer' AND %1 BETWEEN -2147483648 AND "
                                  "2147483647))")
                       .arg(n);
        break;
    case T::SmallInt:
        sql += QStringLiteral("SMALLINT");
        if (checked)
            sql +=
                QStringLiteral(" CHECK(%1 IS NULL OR (typeof(%1)='integer' AND %1 BETWEEN -32768 AND 32767))").arg(n);
        break;
    case T::Number:
        sql += QStringLiteral("REAL");
        if (checked)
            sql += QStringLiteral(" CHECK(%1 IS NULL OR typeof(%1)='real')").arg(n);
        break;
    case T::Logical:
        sql += QStringLiteral("BOOLEAN");
        if (checked)
            sql += QStringLiteral(" CHECK(%1 IS NULL OR %1 IN (0,1))").arg(n);
        break;
    case T::Text:
        sql += QStringLiteral("VARCHAR(%1)").arg(c.width);
        if (c.gbkOrder)
            sql += QStringLiteral(" COLLATE gbk");
        if (checked)
            sql += QStringLiteral(" CHECK(gbk_len(%1)<=%2)").arg(n).arg(c.width);
        break;
    }
    return sql;
}

QString tableSql(const QString& name, const std::vector<ColumnDef>& columns, bool checked,
                 const QStringList& extra = {})
{
    QStringList parts;
    for (const ColumnDef& c : columns)
        parts << columnSql(c, checked);
    parts << extra;
    return QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(name, parts.join(QStringLiteral(",\n  ")));
}

const std::vector<ColumnDef>& rydmColumns()
{
    static const std::vector<ColumnDef> c{
        {"rydm", T::Text, 20}, {"rymc", T::Text, 15, true}, {"bmdm", T::Text, 20}, {"ryzc", T::Text, 9},
        {"ryxz", T::Text, 9},  {"rygw", T::Text, 25},       {"q", T::Number},
    };
    static const std::vector<ColumnDef> withTotals = [] {
        std::vector<ColumnDef> all = c;
        for (const char* total : WorkloadCategories::totalColumns())
            all.push_back({total, T::Number});
        return all;
    }();
    return withTotals;
}

QString sectionNameIndex()
{
    return QStringLiteral("CREATE INDEX bmdm_name ON bmdm(bmmc)");
}

// The store's years are read off this index without reading the rows. It is kept in another order
// (NOCASE) than the column's, so that the store never takes it to look rows up by their year (the
// import's "nd='…'" with a teacher's names): the few years would make it a poor way to them.
QString yearIndex()
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS gzl_year ON gzl(nd COLLATE NOCASE)");
}

QString facultyNameKey()
{
    return QStringLiteral("CREATE UNIQUE INDEX yuanbu_name ON yuanbu(mc)");
}

} // namespace

const std::vector<ColumnDef>& gzlColumns()
{
    static const std::vector<ColumnDef> c{
        {"xh", T::Integer},
        {"jiaoshi", T::Text, 15, true},
        {"yuanbu", T::Text, 25, true},
        {"jiaoyanshi", T::Text, 25, true},
        {"gm", T::SmallInt},
        {"yan", T::Text, 7},
        {"banji", T::Text, 25},
        {"r1", T::Number},
        {"kname", T::Text, 25},
        {"t1", T::Number},
        {"q1", T::Number},
        {"q11", T::Number},
        {"q12", T::Number},
        {"shuoming", T::Text, 55},
        {"k11", T::Number},
        {"s1", T::Number},
        {"k12", T::Number},
        {"kk12", T::Number},
        {"r2", T::Number},
        {"t2", T::Number},
        {"bg", T::Number},
        {"fzs", T::Number},
        {"r3", T::Number},
        {"s3", T::Number},
        {"w", T::Number},
        {"nd", T::Text, 25},
        {"xingzhi", T::Text, 9},
        {"zhicheng", T::Text, 9},
        {"s2", T::Number},
        {"c12", T::Number},
        {"k2", T::Number},
        {"q2", T::Number},
        {"q31", T::Number},
        {"q32", T::Number},
        {"q33", T::Number},
        {"fl", T::Text, 15},
        {"r32", T::Number},
        {"r33", T::Number},
        {"k31", T::Number},
        {"gangwei", T::Text, 25},
    };
    return c;
}

QString createStagedWorkload()
{
    QStringList finite;
    for (const char* c : WorkloadCategories::computedColumns())
        finite << QStringLiteral("CONSTRAINT finite_%1 CHECK(%1 IS NULL OR abs(%1) < 9e999)").arg(QLatin1String(c));
    return tableSql(QStringLiteral("temp.gzl"), gzlColumns(), true, finite);
}

const std::vector<ColumnDef>& exchangeColumns()
{
    static const std::vector<ColumnDef> ordered = [] {
        static const char* const order[] = {
            "xh",         "gm",  "r1",    "t1",    "q1",       "q11", "q12",     "k11",      "s1",      "k12",
            "kk12",       "r2",  "t2",    "bg",    "fzs",      "r3",  "s3",      "w",        "s2",      "c12",
            "k2",         "q2",  "q31",   "q32",   "q33",      "r32", "r33",     "k31",      "jiaoshi", "yuanbu",
            "jiaoyanshi", "yan", "banji", "kname", "shuoming", "nd",  "xingzhi", "zhicheng", "fl",      "gangwei"};
        std::vector<ColumnDef> out;
        for (const char* name : order)
            for (const ColumnDef& c : gzlColumns())
                if (qstrcmp(c.name, name) == 0)
                    out.push_back(c);
        return out;
    }();
    return ordered;
}

QStringList createStatements()
{
    QStringList s;
    s << tableSql(QStringLiteral("gzl"), gzlColumns(), true);
    s << tableSql(QStringLiteral("rydm"), rydmColumns(), true, {QStringLiteral("UNIQUE(rydm)")});
    s << tableSql(QStringLiteral("bmdm"),
                  {{"bmdm", T::Text, 20}, {"bmmc", T::Text, 25, true}, {"ybmc", T::Text, 25, true}}, true,
                  {QStringLiteral("UNIQUE(bmdm)")});
    s << tableSql(QStringLiteral("yuanbu"), {{"mc", T::Text, 25, true}}, true);
    s << tableSql(QStringLiteral("sysparameter"),
                  {{"fenlie", T::Number},
                   {"sunxu", T::Number},
                   {"shuoming", T::Text, 55},
                   {"yan", T::Text, 10},
                   {"s1", T::Text, 255},
                   {"k12", T::Number},
                   {"s2", T::Text, 255},
                   {"gs", T::Text, 20},
                   {"k11", T::Text, 255},
                   {"tiaojian", T::Text, 255}},
                  true);
    s << operatorTable();
    s << tableSql(QStringLiteral("niandu"), {{"nd", T::Text, 25}}, true);
    s << tableSql(QStringLiteral("system"),
                  {{"Nd", T::Text, 25}, {"yx", T::Text, 25, true}, {"jys", T::Text, 20}, {"jysmc", T::Text, 25, true}},
                  true);
    s << tableSql(QStringLiteral("gzl_temp"), exchangeColumns(), false);
    s << tableSql(QStringLiteral("gzl_temp1"), exchangeColumns(), false);
    s << QStringLiteral("CREATE INDEX gzl_teacher ON gzl(jiaoshi, jiaoyanshi, yuanbu)");
    s << QStringLiteral("CREATE INDEX gzl_section ON gzl(jiaoyanshi)");
    s << QStringLiteral("CREATE INDEX gzl_faculty ON gzl(yuanbu)");
    s << QStringLiteral("CREATE INDEX gzl_category ON gzl(fl)");
    s << QStringLiteral("CREATE INDEX rydm_section ON rydm(bmdm)");
    s << sectionNameIndex();
    s << facultyNameKey();
    s << yearIndex();
    s << calculationTable();
    return s;
}

QString calculationTable()
{
    // jb is the level of the tree node calculated: 0 the whole year, 1 a faculty, 2 a section,
    // 3 a teacher of a section; the names are those of the workload rows (yuanbu, jiaoyanshi,
    // jiaoshi), empty where the level has none. sj is the local time, "yyyy-MM-dd HH:mm:ss".
    return tableSql(QStringLiteral("jsjl"),
                    {{"nd", T::Text, 25},
                     {"jb", T::SmallInt},
                     {"yuanbu", T::Text, 25},
                     {"jiaoyanshi", T::Text, 25},
                     {"jiaoshi", T::Text, 15},
                     {"sj", T::Text, 19}},
                    true);
}

QString operatorTable()
{
    // password1 holds a salted hash (about 100 characters) since layout 5, never the password.
    return tableSql(QStringLiteral("user1"),
                    {{"name", T::Text, 20},
                     {"password1", T::Text, 255},
                     {"gl1", T::Logical},
                     {"gl2", T::Logical},
                     {"gl3", T::Logical},
                     {"gl4", T::Logical},
                     {"usergl", T::Logical},
                     {"gl31", T::Text, 20}},
                    true);
}

QStringList upgradeStatements(int from)
{
    switch (from) {
    case 1:
        return {QStringLiteral("DROP TABLE gzl_temp"), QStringLiteral("DROP TABLE gzl_temp1"),
                tableSql(QStringLiteral("gzl_temp"), exchangeColumns(), false),
                tableSql(QStringLiteral("gzl_temp1"), exchangeColumns(), false)};
    case 2:
        return {sectionNameIndex()};
    case 3:
        // A faculty row is nothing but its name, and everything refers to a faculty by that name:
        // two rows of one name are one faculty listed twice. One of them stays, then the name is
        // a key.
        return {QStringLiteral("DELETE FROM yuanbu WHERE mc IS NOT NULL AND rowid NOT IN "
                               "(SELECT min(rowid) FROM yuanbu WHERE mc IS NOT NULL GROUP BY mc)"),
                facultyNameKey()};
    case 4:
        // The password column grows to hold hashes; the passwords themselves are hashed by the
        // upgrade's own step afterwards.
        return {QStringLiteral("ALTER TABLE user1 RENAME TO user1_layout4"), operatorTable(),
                QStringLiteral("INSERT INTO user1 (name,password1,gl1,gl2,gl3,gl4,usergl,gl31) "
                               "SELECT name,password1,gl1,gl2,gl3,gl4,usergl,gl31 FROM user1_layout4"),
                QStringLiteral("DROP TABLE user1_layout4")};
    case 5:
        return {yearIndex()};
    case 6:
        // An older store kept no record of its calculations: its years read as not calculated
        // until they are calculated again.
        // A store a newer program left at an older number may have the table already.
        return {
            calculationTable().replace(QStringLiteral("CREATE TABLE "), QStringLiteral("CREATE TABLE IF NOT EXISTS "))};
    default:
        return {};
    }
}

QStringList createWorkStatements(const QString& schema)
{
    // The staging tables hold a file's rows as the file brings them: the import checks them
    // when it copies them into the store.
    return {tableSql(schema + QStringLiteral(".dbtemp"), exchangeColumns(), false),
            tableSql(schema + QStringLiteral(".temp"), exchangeColumns(), false)};
}

} // namespace StoreSchema
