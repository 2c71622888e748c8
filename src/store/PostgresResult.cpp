#include "store/PostgresResult.h"

#include <libpq-fe.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Type numbers of the server's catalogue (pg_type.oid).
enum : unsigned
{
    BoolOid = 16,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    OidOid = 26,
    Float4Oid = 700,
    Float8Oid = 701,
    VarcharOid = 1043,
    BpcharOid = 1042,
    NumericOid = 1700,
};

} // namespace

namespace PostgresResult {

ValueType valueType(unsigned type)
{
    switch (type) {
    case BoolOid:
    case Int8Oid:
    case Int2Oid:
    case Int4Oid:
    case OidOid:
        return ValueType::Integer;
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return ValueType::Number;
    default:
        return ValueType::Text;
    }
}

QString declaredType(unsigned type, int modifier)
{
    switch (type) {
    case Int4Oid:
        return QStringLiteral("INTEGER");
    case Int2Oid:
        return QStringLiteral("SMALLINT");
    case Int8Oid:
        return QStringLiteral("BIGINT");
    case Float4Oid:
    case Float8Oid:
        return QStringLiteral("REAL");
    case NumericOid:
        return QStringLiteral("NUMERIC");
    case VarcharOid:
        return modifier > 4 ? QStringLiteral("VARCHAR(%1)").arg(modifier - 4) : QStringLiteral("VARCHAR");
    case BpcharOid:
        return modifier > 4 ? QStringLiteral("CHAR(%1)").arg(modifier - 4) : QStringLiteral("CHAR");
    case BoolOid:
        return QStringLiteral("BOOLEAN");
    default:
        return QStringLiteral("TEXT");
    }
}

bool toNumber(const char* text, int length, double& out)
{
    // The server writes "Infinity", "-Infinity" and "NaN" for what the desktop store keeps as such.
    if (length > 0 && (text[0] == 'I' || text[0] == 'N' || (text[0] == '-' && length > 1 && text[1] == 'I'))) {
        if (std::strncmp(text, "NaN", 3) == 0)
            out = std::nan("");
        else
            out = text[0] == '-' ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    const auto [end, ec] = std::from_chars(text, text + length, out);
    return ec == std::errc() && end == text + length;
}

void read(const pg_result* result, Database::Result& out, bool withTypes)
{
    const int columns = PQnfields(result);
    const int rows = PQntuples(result);
    out.columns.clear();
    out.rows = ResultRows(columns);
    std::vector<ValueType> types(std::size_t(columns), ValueType::Text);
    std::vector<bool> truth(std::size_t(columns), false);
    for (int c = 0; c < columns; ++c) {
        const unsigned type = PQftype(result, c);
        types[std::size_t(c)] = valueType(type);
        truth[std::size_t(c)] = type == BoolOid;
        out.columns.push_back(
            {QString::fromUtf8(PQfname(result, c)), withTypes ? declaredType(type, PQfmod(result, c)) : QString()});
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(result, r, c)) {
                out.rows.addNull();
                continue;
            }
            const char* text = PQgetvalue(result, r, c);
            const int length = PQgetlength(result, r, c);
            switch (types[std::size_t(c)]) {
            case ValueType::Integer:
                if (truth[std::size_t(c)]) {
                    out.rows.addInteger(text[0] == 't' ? 1 : 0);
                } else {
                    qint64 v = 0;
                    std::from_chars(text, text + length, v);
                    out.rows.addInteger(v);
                }
                break;
            case ValueType::Number: {
                double v = 0;
                if (toNumber(text, length, v))
                    out.rows.addNumber(v);
                else
                    out.rows.addText(std::string_view(text, std::size_t(length)));
                break;
            }
            case ValueType::Text:
                out.rows.addText(std::string_view(text, std::size_t(length)));
                break;
            }
        }
    }
    out.rows.finish();
}

QByteArray numberText(double value)
{
    if (std::isnan(value))
        return QByteArrayLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("Infinity") : QByteArrayLiteral("-Infinity");
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, int(end - buffer));
}

QByteArray parameterText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QByteArray();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return numberText(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QByteArray::number(value.toLongLong());
    default: {
        QByteArray utf8 = value.toString().toUtf8();
        if (utf8.isNull())
            utf8 = QByteArray("");
        return utf8;
    }
    }
}

} // namespace PostgresResult
