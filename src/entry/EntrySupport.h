#pragma once

#include <QString>

class Query;

// What both entry dialogs share: the selected teacher, the current year, the amount checks and
// the refresh of the grids' holders.
namespace EntrySupport {

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

// The teacher of the selected tree node, looked up in dtbmdm2 through NodeFilter; empty texts
// when no teacher matches.
Teacher lookUpTeacher();

// The current academic year: field Nd of the settings record.
QString currentYear();

// A whole number as the theory/lab amount check takes it ("32"; not "32.5", "3e1" or "").
bool toWholeNumber(const QString& text, int* value);
// A half-width decimal number with an optional sign, fraction and exponent ("2", "-1.5", "1e2").
bool toDecimal(const QString& text, double* value);

// Whether a typed number may be spliced into a statement as it stands: a decimal number as
// above and nothing else, so that a typed expression or statement fragment never runs.
bool isNumberLiteral(const QString& text);

// Closes and re-opens a grid's holder with the statement the main window gave it.
void reopen(Query* holder);

} // namespace EntrySupport
