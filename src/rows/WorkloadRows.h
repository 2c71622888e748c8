#pragma once

#include "rows/RowField.h"
#include "store/WorkloadCategories.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DataModule;
class Query;
struct Selection;
struct Session;

// The selected teacher's workload rows: the four views of the main window, the entry dialogs'
// inserts and updates, the delete of a row and the teacher's total. Every statement runs through
// the data module's holders, as the screens show them.
class WorkloadRows
{
public:
    // The kinds of workload row (see WorkloadCategories).
    using Category = WorkloadCategories::Id;

    // The names and attributes a workload row copies from its teacher.
    struct Teacher
    {
        QString rymc;
        QString ybmc;
        QString bmmc;
        QString ryxz;
        QString ryzc;
        QString rygw;
        bool found = false; // a teacher of the selection is in the store
    };

    // What became of a save.
    enum class Save
    {
        Saved,
        Refused,  // a typed number is not a plain number, or the store refused the row's values
        NotFound, // an update found no row to change
        NoTeacher // the selection's teacher is no longer in the store
    };

    // What the entry dialogs say when a save is refused, and when the teacher has gone meanwhile.
    static inline const QString RefusedText = QStringLiteral("出现输入的文字超长或者类型不正确!");
    static inline const QString NoTeacherText = QStringLiteral("所选的教师已不在库中，工作量没有保存!");

    WorkloadRows(DataModule& data, Session& session) : m_data(data), m_session(session) {}

    static QString categoryName(Category category);
    Query* view(Category category) const;

    // Opens the four views on the rows of the selection (a teacher node).
    void openViews(const Selection& selection);
    // Closes and re-opens a view with the statement it holds.
    void reopen(Category category);
    // The teacher of the selection through NodeFilter, read in dtbmdm2: the total Q in general
    // form and the name. Empty texts when no teacher matches.
    QString teacherTotal(const Selection& selection, QString* name = nullptr);

    // The course types (parameter rows of category 0) and practice types (category 9), in order.
    QStringList courseTypes();
    QStringList practiceTypes();
    // The teacher of the current selection, read in dtbmdm2; empty texts when none matches.
    Teacher selectedTeacher();
    // The current academic year: field Nd of the settings record.
    QString currentYear();

    // A theory/lab row: inserted (taking the next serial, even if the row is then refused) or
    // updated where its serial, section and faculty are those it was read with; then the course
    // type moves one step up the list. The row's teacher columns (jiaoshi, yuanbu, jiaoyanshi,
    // xingzhi, zhicheng, gangwei) are those of the selection's teacher as the store has it when
    // the row is written: read, checked and written under one write lock, all in one transaction.
    // Anything but Saved writes nothing. A store error other than a refusal of the values (busy,
    // disk full) comes back as StoreError, with nothing written either.
    Save insertTheoryRow(const QList<RowField>& fields, const QString& courseType, const QString& studentType);
    Save updateTheoryRow(const QList<RowField>& fields, const QString& xh, const QString& section,
                         const QString& faculty, const QString& courseType, const QString& studentType);
    // A practice row, inserted, or updated where its serial and the teacher's present section
    // are. NotFound: no row has both (it is filed under another section name).
    Save insertPracticeRow(const QList<RowField>& fields);
    Save updatePracticeRow(const QList<RowField>& fields, const QString& xh);

    // Why the last save was Refused, in the words the dialogs show: the store's own reason when it
    // names one (a character without a GBK form), else RefusedText.
    const QString& refusal() const { return m_refusal; }

    // The highest serial of all rows ("select max(xh) as xh from gzl"), 0 without rows.
    int highestSerial();
    // The serial of a new row (NextXh, one past the highest in the store and in this session).
    int takeSerial();
    // Deletes every row carrying the serial.
    void deleteRow(const QString& xh);

private:
    QStringList typeList(int category);
    struct Theory
    {
        QString courseType;
        QString studentType;
    };
    Save save(const std::function<QStringList(const QList<RowField>&)>& statement, const QList<RowField>& fields,
              const std::optional<Theory>& theory = std::nullopt, int* changed = nullptr, bool takesSerial = false);
    static QList<RowField> withTeacher(QList<RowField> fields, const Teacher& teacher);
    void lowerCourseTypeOrder(const QString& courseType, const QString& studentType);

    DataModule& m_data;
    Session& m_session;
    QString m_refusal = RefusedText;
};
