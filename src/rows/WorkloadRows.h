#pragma once

#include "rows/RowField.h"

#include <QString>
#include <QStringList>

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
    enum class Category
    {
        Theory,     // "理论实验", view dtllsj
        Internship, // "实习设计", view dtsxsj
        Graduation, // "毕业设计", view dtbysj
        Supervision // "指导硕士", view dtzdss
    };

    // The names and attributes a workload row copies from its teacher.
    struct Teacher
    {
        QString rymc;
        QString ybmc;
        QString bmmc;
        QString ryxz;
        QString ryzc;
        QString rygw;
    };

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
    // type moves one step up the list. All in one transaction. False when a typed number is not
    // a plain number or the store refuses the row's values: nothing is written. Any other store
    // error (busy, disk full) comes back as StoreError, with nothing written either.
    bool insertTheoryRow(const QList<RowField>& fields, const QString& courseType, const QString& studentType);
    bool updateTheoryRow(const QList<RowField>& fields, const QString& xh, const QString& section,
                         const QString& faculty, const QString& courseType, const QString& studentType);
    // A practice row, inserted, or updated where its serial and the teacher's present section are.
    // NotFound: no row has both (it is filed under another section name), nothing was written.
    enum class PracticeUpdate
    {
        Saved,
        Refused,
        NotFound
    };
    bool insertPracticeRow(const QList<RowField>& fields);
    PracticeUpdate updatePracticeRow(const QList<RowField>& fields, const QString& xh, const QString& section);

    // The highest serial of all rows ("select max(xh) as xh from gzl"), 0 without rows.
    int highestSerial();
    // Deletes every row carrying the serial.
    void deleteRow(const QString& xh);

private:
    QStringList typeList(int category);
    bool run(const QStringList& lines, const QList<RowField>& fields, const QString& courseType,
             const QString& studentType, bool theory, int* changed = nullptr);
    void lowerCourseTypeOrder(const QString& courseType, const QString& studentType);

    DataModule& m_data;
    Session& m_session;
};
