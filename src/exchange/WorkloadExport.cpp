#include "WorkloadExport.h"

#include "DbaseFile.h"
#include "NumberText.h"
#include "ParadoxFile.h"
#include "Sql.h"
#include "Tdmmsdb.h"
#include "Transaction.h"

WorkloadExport::WorkloadExport(Tdmmsdb& data) : m_data(data) {}

QString WorkloadExport::workTable(Format format)
{
    return format == Format::Paradox ? QStringLiteral("gzl_temp") : QStringLiteral("gzl_temp1");
}

QString WorkloadExport::extension(Format format)
{
    return format == Format::Paradox ? QStringLiteral(".dbt") : QStringLiteral(".dbf");
}

int WorkloadExport::selectRows(const QString& yearFilter)
{
    Query* q = m_data.dtbmdm1;
    q->setStatement({QStringLiteral("select * from gzl"),
                     QStringLiteral("where %1 order by nd,jiaoyanshi,jiaoshi").arg(yearFilter)});
    q->open();
    return q->recordCount();
}

void WorkloadExport::fillWorkTable(Format format, const Observer& observer)
{
    const auto report = [&](int progress, const QString& status) {
        if (observer)
            observer(progress, status);
    };
    const QString table = workTable(format);
    const QList<ExchangeColumn> columns = ExchangeTable::workloadColumns();
    Query* source = m_data.dtbmdm1;
    Query* target = m_data.xssj2;
    const int n = source->recordCount();

    QList<int> index;
    for (const ExchangeColumn& c : columns)
        index << *source->findField(c.name);

    // The statement's fixed lines: the column names, numeric list first.
    QStringList head{QStringLiteral("insert into %1 (").arg(table)};
    for (int i = 0; i < columns.size(); ++i)
        head << columns[i].name + (i + 1 < columns.size() ? QStringLiteral(",") : QStringLiteral(")"));
    head << QStringLiteral("values (");

    Transaction tx(*m_data.database());
    report(5, QStringLiteral("正在建立临时数据库文件..."));
    target->setStatement({QStringLiteral("delete from %1").arg(table)});
    target->execSql();
    report(7, QStringLiteral("正在写入临时数据库文件..."));

    int shown = 7;
    for (int row = 0; row < n; ++row) {
        QStringList lines = head;
        for (int i = 0; i < columns.size(); ++i) {
            const QVariant v = source->value(row, index[i]);
            const QString tail = i + 1 < columns.size() ? QStringLiteral(",") : QStringLiteral(")");
            if (columns[i].isNumeric())
                lines << NumberText::literal(v) + tail;
            else
                lines << Sql::quote(v.isValid() && !v.isNull() ? v.toString() : QString()) + tail;
        }
        target->setStatement(lines);
        target->execSql();
        const int progress = (row + 1) * 88 / n + 7;
        if (progress != shown) {
            shown = progress;
            report(progress, {});
        }
    }
    target->close();
    tx.commit();
}

QString WorkloadExport::writeFile(Format format, const QString& destination)
{
    ExchangeTable table;
    table.columns = ExchangeTable::workloadColumns();
    QStringList names;
    for (const ExchangeColumn& c : table.columns)
        names << c.name;
    Database::Result r = m_data.database()->select(
        QStringLiteral("select %1 from %2 order by rowid").arg(names.join(u','), workTable(format)));
    table.rows = std::move(r.rows);

    const QString path = destination + extension(format);
    if (format == Format::Paradox)
        ParadoxFile::write(path, table);
    else
        DbaseFile::write(path, table);
    return path;
}
