#pragma once

#include "exchange/ExchangeTable.h"

#include <QString>
#include <QVariant>

// Small exchange tables for the tests: the forty workload columns with rows built from a few values.
namespace ExchangeFixtures {

// One workload row with every column set: numbers 1.5 (xh 7, gm 1), texts derived from the column name.
QVariantList row(const QString& teacher = QStringLiteral("张三"), const QString& section = QStringLiteral("数学教研室"),
                 const QString& faculty = QStringLiteral("理学院"),
                 const QString& year = QStringLiteral("2026-2027学年"));

// A table of the forty columns holding the given rows.
ExchangeTable table(const std::vector<QVariantList>& rows);

// Sets one column of a row by name.
void set(QVariantList& row, const QString& column, const QVariant& value);

} // namespace ExchangeFixtures
