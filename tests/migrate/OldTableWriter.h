#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

// Writes Paradox tables as another implementation does (pxlib), never through the program's own
// writer: the old program's table files for the tests. Header code page 936 (GBK), as the old
// program's tables have it.
class OldTableWriter
{
public:
    struct Field
    {
        QString name;
        char type; // pxlib's field type (pxfAlpha, pxfMemoBLOb, ...)
        int size;
    };

    // Values per field: an invalid QVariant is blank; a QString is written in GBK (Alpha, memo);
    // a double (Number, Currency), an int (Short, Long), a bool (Logical), a QDate (Date).
    // A table with a memo field gets its memo file at `memoPath`.
    static void write(const QString& path, const QList<Field>& fields, const QList<QVariantList>& rows,
                      const QString& memoPath = {});
    // The same with the rows handed over one at a time: `next` fills the next row and returns
    // false when there is none.
    static void write(const QString& path, const QList<Field>& fields, const std::function<bool(QVariantList&)>& next,
                      const QString& memoPath = {});

    // The fields an old table of the store's table has: Long, Short, Number and Alpha as the
    // store's column types and widths say.
    static QList<Field> fieldsOf(const QString& table);
};
