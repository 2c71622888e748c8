#pragma once

#include "exchange/StagingCopy.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class DataModule;
class PreparedStatement;

// Merges the workload rows of an exchange file into the store: creates the faculties, sections
// and teachers the rows name and the store lacks, replaces a known teacher's rows of the file's
// sections and years, then inserts every row. The file is copied beside the store, staged in the
// work table `dbtemp` (".dbt") or `temp` (".dbf") and read through `xssj1`; every other
// statement runs on `xssj2`.
class WorkloadImport
{
public:
    enum class Outcome
    {
        Ready,
        NoPath,
        CopyFailed,
        NotOurFile,
        NoRows,
        Busy,    // another program holds the store's lock for longer than the store waits
        DiskFull // the copy of the file did not fit on the disk
    };

    struct Counts
    {
        int rows = 0;
        int faculties = 0;
        int sections = 0;
        int teachers = 0;
    };

    // One entry per section (name, faculty) and year of the file, in the order of the file's rows.
    struct Section
    {
        QString name;
        QString year;
        QString code;
        QString faculty;
    };

    static inline const QString NoPath = QStringLiteral("没有输入源文件!");
    static inline const QString CopyFailed = QStringLiteral("复制临时数据库文件时出现错误，请检查磁盘文件是否正确!");
    static inline const QString NotOurFile = QStringLiteral("你选择的文件不是本系统文件，请确认接收的文件是否正确!");
    static inline const QString NoRows = QStringLiteral("没有满足条件的数据，请确认接收的文件是否正确!");
    static inline const QString Busy = QStringLiteral("数据库正被其他程序使用，请稍后再试!");
    static inline const QString DiskFull = QStringLiteral("磁盘空间不足，无法导入!");
    static inline const QString Done = QStringLiteral("数据文件已经成功导入，请将数据盘保存好!");
    static inline const QString RolledBack = QStringLiteral("导入没有完成，已全部撤销：库中数据没有任何改动。");

    // The message for an outcome other than Ready.
    static QString message(Outcome outcome);

    // Progress (0 to 100) and, when not empty, the new status text.
    using Observer = std::function<void(int progress, const QString& status)>;

    explicit WorkloadImport(DataModule& data);
    ~WorkloadImport();

    // Tests fix the time the code counters are made from.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    // Tests put a disk that runs full in place of the system's writes of the copy.
    void setFileWriter(StagingCopy::Writer writer) { m_writer = std::move(writer); }

    // Makes the section counter and then the teacher counter from the current time, "yymmddhhnnsszzz".
    void makeCounters();
    const QString& sectionCounter() const { return m_sectionCounter; }
    const QString& teacherCounter() const { return m_teacherCounter; }
    // The next value of a counter: its text as a number plus one, without leading zeros.
    static QString nextCode(const QString& code);

    // Copies the file to a work copy of the format its last three letters choose ("DBT": Paradox,
    // dbtemp-XXXXXX.db; "DBF": dBASE, temp-XXXXXX.dbf), a new one for every import.
    Outcome copyToWorkCopy(const QString& path);
    // The work copy's path while it exists (between the copy and the opening).
    QString workCopy() const { return m_workCopy ? m_workCopy->path() : QString(); }
    // Reads the work copy into its work table, removes the copy and opens
    // "select * from <table> where jiaoshi<>'教师'". Throws GbkConverterError when the system
    // cannot decode GBK at all.
    Outcome openWorkCopy();
    // The rows the open check selected.
    int rowCount() const;

    // The three passes, in one transaction: a StoreError rolls every change back and is rethrown.
    Counts run(const Observer& observer = {});

    const std::vector<Section>& sections() const { return m_sections; }

private:
    Outcome stage(const QString& copy);
    Outcome checkStagedRows();
    // The three passes.
    void facultiesAndSections(Counts& counts);
    void teachers(Counts& counts);
    void rows(const Observer& observer);
    bool addFaculty(const QString& faculty);
    bool addSection(const QString& section, const QString& year, const QString& faculty);
    QString freeCode(QString code, PreparedStatement& taken);
    void replaceRowsOf(const QString& teacher, const QString& section, const QString& faculty);

    DataModule& m_data;
    std::function<QDateTime()> m_clock;
    StagingCopy::Writer m_writer = StagingCopy::systemWriter();
    QString m_sectionCounter;
    QString m_teacherCounter;
    std::unique_ptr<StagingCopy> m_workCopy;
    QString m_table;
    bool m_paradox = false;
    std::vector<Section> m_sections;
    // While the passes run: whether a section or teacher code is taken.
    std::unique_ptr<PreparedStatement> m_sectionCodeTaken;
    std::unique_ptr<PreparedStatement> m_teacherCodeTaken;
};
