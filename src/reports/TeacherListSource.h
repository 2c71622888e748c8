#pragma once

#include "reports/TeacherListData.h"

#include <QDateTime>
#include <QString>

class DataModule;
class Query;
struct Session;

// Where the teacher workload list comes from: the rows the teacher list holder (`dtrydm`) holds
// when the list is generated, in their order, whichever screen last filled it, and the title of
// the selection in force at that moment.
class TeacherListSource
{
public:
    // Walks `dtrydm` from its first row to its end, reading the name and the seven totals of each
    // row (a null total stays empty). Leaves the holder on its last row, as the teacher grid then
    // shows. A closed holder gives an empty list.
    static TeacherListData read(Query& dtrydm, const QString& yearTitle,
                                const QDateTime& generatedAt = QDateTime::currentDateTime());
    // The same from the data module's `dtrydm` and the session's YearTitle.
    static TeacherListData read(DataModule& data, const Session& session);
};
