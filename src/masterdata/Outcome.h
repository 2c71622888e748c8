#pragma once

#include <QList>
#include <QString>

// What a change that the operator may see refused came to (faculties, sections, teachers, the
// calculation's coefficients): done, or refused with the text the operator is shown; and the rows
// it changed in each table. Errors that are not a refusal of what was typed are thrown
// (ProgramError).
struct Outcome
{
    enum class Status
    {
        Saved,
        Deleted,
        Duplicate,   // the code typed belongs to another section or teacher
        Failed,      // the store refused a statement: nothing of the change was kept
        HasWorkload, // workload rows name what was to be deleted
        HasSections, // a faculty to be deleted still has sections
        HasTeachers, // a section to be deleted still has teachers
        NotFound,    // no faculty, section or teacher of that name or code
        NotANumber,  // a coefficient typed is not a plain decimal (or beyond every finite number)
        OutOfRange   // a coefficient typed is outside its range
    };

    struct Change
    {
        QString table;
        QString verb; // "inserted", "updated", "deleted"
        int rows = 0;
    };

    Status status = Status::Saved;
    QString message;   // the refusal as the screens show it; empty when done
    QString storeText; // Failed: the store's own text
    QList<Change> changes;

    bool ok() const { return status == Status::Saved || status == Status::Deleted; }
    // Rows of a table that the change touched.
    int rows(const QString& table) const;

    static Outcome refused(Status status, const QString& message);
    // Failed: `message` for the operator, the store's own text beside it; when the store's text
    // names the real reason (a character without a GBK form), that text alone.
    static Outcome failed(const QString& message, const QString& storeText);
};
