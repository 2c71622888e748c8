#include "exchange/WorkloadExport.h"

#include "exchange/BoundInsert.h"
#include "exchange/DbaseFile.h"
#include "exchange/ParadoxFile.h"
#include "exchange/StatementRows.h"
#include "session/Selection.h"
#include "store/DataModule.h"
#include "store/Field.h"
#include "store/Transaction.h"

#include <cmath>

namespace {

// A column of the selected rows: the select names every column of gzl, so a missing one is a fault
// of the program, reported with the column's name.
int column(const Query* rows, const QString& name)
{
    const std::optional<int> index = rows->findField(name);
    if (!index)
        throw StoreError(QStringLiteral("导出的数据中没有字段 %1").arg(name), rows->text());
    return *index;
}

} // namespace

WorkloadExport::WorkloadExport(DataModule& data) : m_data(data) {}

QString WorkloadExport::workTable(Format format)
{
    return format == Format::Paradox ? QStringLiteral("gzl_temp") : QStringLiteral("gzl_temp1");
}

QString WorkloadExport::extension(Format format)
{
    return format == Format::Paradox ? QStringLiteral(".dbt") : QStringLiteral(".dbf");
}

int WorkloadExport::selectRows(const Selection& selection)
{
    Query* q = m_data.dtbmdm1;
    q->setStatement({QStringLiteral("select * from gzl"),
                     QStringLiteral("where %1 order by nd,jiaoyanshi,jiaoshi").arg(selection.YearFilter())});
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
    const Query* source = m_data.dtbmdm1;
    const int n = source->recordCount();
    QList<int> index;
    QStringList names;
    for (const ExchangeColumn& c : columns) {
        index << column(source, c.name);
        names << c.name;
    }

    Transaction tx(*m_data.database());
    report(5, QStringLiteral("正在建立临时数据库文件..."));
    Query* target = m_data.xssj2;
    target->setStatement({QStringLiteral("delete from %1").arg(table)});
    target->execSql();
    target->close();
    report(7, QStringLiteral("正在写入临时数据库文件..."));

    // The selected rows appended to the work table, naming the forty columns, numeric list first.
    // The values are bound rather than spliced: they arrive exactly as stored (sixty thousand rows
    // in a fraction of a second).
    BoundInsert insert(*m_data.database(), table, names);
    QVariantList values;
    int shown = 7;
    for (int row = 0; row < n; ++row) {
        values.clear();
        for (const int i : index)
            values << source->value(row, i);
        refuseNonFinite(values, names, row);
        insert.insert(values);
        const int progress = (row + 1) * 88 / n + 7;
        if (progress != shown) {
            shown = progress;
            report(progress, {});
        }
    }
    insert.finish();
    tx.commit();
}

// Neither format can hold an infinite or undefined figure. A store written by an older program
// may have one: the row and column are named, so that the operator can mend the row, rather than
// the export failing later as if the disk were at fault.
void WorkloadExport::refuseNonFinite(const QVariantList& values, const QStringList& names, int row) const
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        if (v.typeId() != QMetaType::Double || std::isfinite(v.toDouble()))
            continue;
        const Query* source = m_data.dtbmdm1;
        const auto text = [&](const char* name) {
            return Field(QString(), source->value(row, column(source, QLatin1String(name)))).asString();
        };
        throw ExchangeFileError::refusedValue(
            QStringLiteral("第 %1 条记录 (序号 %2, 教师 %3, %4, %5) 的 %6 是 %7，不是有限数，不能导出。"
                           "请修改这条记录或重新计算。")
                .arg(row + 1)
                .arg(text("xh"), text("jiaoshi"), text("jiaoyanshi"), text("nd"), names[i],
                     QString::number(v.toDouble())));
    }
}

QString WorkloadExport::writeFile(Format format, const QString& destination)
{
    const QList<ExchangeColumn> columns = ExchangeTable::workloadColumns();
    QStringList names;
    for (const ExchangeColumn& c : columns)
        names << c.name;
    // The rows go from the work table into the file one at a time.
    StatementRows rows(*m_data.database(),
                       QStringLiteral("select %1 from %2 order by %3")
                           .arg(names.join(u','), workTable(format), m_data.database()->rowIdentity()));
    const QString path = destination + extension(format);
    if (format == Format::Paradox)
        ParadoxFile::write(path, columns, rows);
    else
        DbaseFile::write(path, columns, rows);
    return path;
}
