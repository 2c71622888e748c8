#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

class DataModule;
struct Selection;

// Writes the workload rows of a condition into an exchange file: the rows are selected through
// `dtbmdm1`, copied by statements run through `xssj2` into the format's work table, and the
// work table is written to the destination.
class WorkloadExport
{
public:
    enum class Format
    {
        Paradox, // ".dbt", work table gzl_temp
        Dbase    // ".dbf", work table gzl_temp1
    };

    static inline const QString NoRows = QStringLiteral("没有满足条件的数据!");
    static inline const QString CopyFailed = QStringLiteral("复制临时数据库文件时出现错误，请检查磁盘目录!");
    static inline const QString Done = QStringLiteral("复制数据文件已经成功建立，请将数据文件转交相关人员!");

    // Progress (0 to 100) and, when not empty, the new status text.
    using Observer = std::function<void(int progress, const QString& status)>;

    explicit WorkloadExport(DataModule& data);

    static QString workTable(Format format);
    static QString extension(Format format);

    // Selects "select * from gzl" / "where <YearFilter> order by nd,jiaoyanshi,jiaoshi"; returns the row count.
    int selectRows(const Selection& selection);

    // Empties the work table and copies the selected rows into it in their order, in one
    // transaction: a store error (StoreError) leaves the work table as it was, and so does a row
    // with a number that is not finite (ExchangeFileError::refusedValue naming the row and column).
    void fillWorkTable(Format format, const Observer& observer = {});

    // Writes the work table's rows, in the order they were inserted, to destination + extension,
    // replacing an existing file only once the new one is complete. Returns the file's path.
    // Throws ExchangeFileError when the file cannot be written.
    QString writeFile(Format format, const QString& destination);

private:
    void refuseNonFinite(const QVariantList& values, const QStringList& names, int row) const;

    DataModule& m_data;
};
