#pragma once

#include "store/Database.h"

#include <QByteArray>
#include <QVariant>

struct pg_result;

// The server's results in the program's terms: whole numbers as integers, doubles and decimals
// as doubles, truth values as 1 and 0, everything else as text; a column's declared type as the
// desktop store names it ("INTEGER", "SMALLINT", "REAL", "VARCHAR(n)").
namespace PostgresResult {

void read(const pg_result* result, Database::Result& out, bool withTypes);
QString declaredType(unsigned type, int modifier);

enum class ValueType
{
    Integer,
    Number,
    Text
};
ValueType valueType(unsigned type);
// A double as the server reads it back exactly (shortest text that round-trips).
QByteArray numberText(double value);
// A bound value as text for the server; a null QByteArray for NULL.
QByteArray parameterText(const QVariant& value);
bool toNumber(const char* text, int length, double& out);

} // namespace PostgresResult
