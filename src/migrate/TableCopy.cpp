#include "migrate/TableCopy.h"

#include "exchange/ExchangeFileError.h"
#include "migrate/ValueConversion.h"

TableCopy::TableCopy(const std::vector<StoreSchema::ColumnDef>& target, RowHandler rows, ProblemHandler problems)
    : m_target(target), m_handleRow(std::move(rows)), m_handleProblem(std::move(problems)), m_values(target.size()),
      m_scratch(target.size())
{}

void TableCopy::columns(const QList<ExchangeColumn>& found)
{
    m_source.clear();
    m_kinds.clear();
    QList<bool> used(found.size(), false);
    for (const StoreSchema::ColumnDef& c : m_target) {
        const QString name = QString::fromLatin1(c.name);
        const std::optional<int> i = ExchangeTable::indexOf(found, name);
        if (!i) {
            m_missing << name;
            m_source.push_back(-1);
            m_kinds.push_back(ExchangeColumn::Kind::Other);
            continue;
        }
        if (found[*i].kind == ExchangeColumn::Kind::Other)
            throw ExchangeFileError(QStringLiteral("字段 %1 的类型不能迁移到本系统的列 %2").arg(found[*i].name, name));
        used[*i] = true;
        m_source.push_back(*i);
        m_kinds.push_back(found[*i].kind);
    }
    for (int i = 0; i < found.size(); ++i)
        if (!used[i])
            m_extra << found[i].name;
}

void TableCopy::row(std::span<const ExchangeValue> values)
{
    ++m_rows;
    for (std::size_t c = 0; c < m_target.size(); ++c) {
        if (m_source[c] < 0) {
            m_values[c] = ExchangeValue::null();
            continue;
        }
        const ValueConversion::Result r =
            ValueConversion::convert(values[std::size_t(m_source[c])], m_kinds[c], m_target[c], m_scratch[c].text);
        m_values[c] = r.value;
        if (!r.problem.isEmpty())
            m_handleProblem(m_rows, QString::fromLatin1(m_target[c].name), r.problem);
    }
    m_handleRow(m_rows, m_values);
}
