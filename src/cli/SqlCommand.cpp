#include "cli/Cli.h"
#include "store/Database.h"
#include "store/NumberFormat.h"
#include "store/Transaction.h"

#include <QRegularExpression>

#include <optional>

namespace {

QString cell(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return {};
    if (v.typeId() == QMetaType::Double)
        return NumberFormat::general(v.toDouble());
    return v.toString();
}

int runSql(Cli::Context& c)
{
    auto db = Database::open(c.store);
    const QString statement = c.args.argument(0);
    // A statement that may write takes the store's write lock first, as every command that writes
    // does: on a server store nothing else would keep it from another operator's change.
    const QString head = statement.trimmed().section(QRegularExpression(QStringLiteral("\\s")), 0, 0).toLower();
    const bool reads = head == u"select" || head == u"with" || head == u"explain" || head == u"pragma";
    std::optional<Transaction> transaction;
    if (!reads)
        transaction.emplace(*db);
    const Database::Result r = db->select(statement);
    if (transaction)
        transaction->commit();
    if (r.columns.isEmpty())
        return 0;
    QStringList header;
    for (const Database::Column& col : r.columns)
        header << col.name;
    c.out << header.join(u'\t') << "\n";
    for (const QVariantList& row : r.rows) {
        QStringList cells;
        for (const QVariant& v : row)
            cells << cell(v);
        c.out << cells.join(u'\t') << "\n";
    }
    return 0;
}

} // namespace

Cli::Command sqlCommand()
{
    return {.name = QStringLiteral("sql"),
            .usage = QStringLiteral("sql STATEMENT"),
            .summary = QStringLiteral(
                "runs one statement as the program does; a select prints a tab-separated header and rows"),
            .syntax = CommandSyntax::takingOneArgument("the statement"),
            .run = runSql};
}
