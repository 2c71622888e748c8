#include "rows/WorkloadRows.h"

#include "rows/NumberInput.h"
#include "session/Session.h"
#include "store/DataModule.h"
#include "store/Gbk.h"
#include "store/Sql.h"
#include "store/StoreError.h"
#include "store/Transaction.h"

#include <algorithm>
#include <utility>

namespace {

const QString Postgraduate = QStringLiteral("研究生");

} // namespace

QString WorkloadRows::categoryName(Category category)
{
    return WorkloadCategories::fl(category);
}

Query* WorkloadRows::view(Category category) const
{
    return m_data.query(QString::fromLatin1(WorkloadCategories::of(category).view));
}

void WorkloadRows::openViews(const Selection& selection)
{
    for (const WorkloadCategories::Category& c : WorkloadCategories::all()) {
        Query* holder = view(c.id);
        holder->setStatement({QStringLiteral("select * from gzl where fl=%1 and %2")
                                  .arg(Sql::quote(categoryName(c.id)), selection.YearFilter())});
        holder->open();
    }
}

void WorkloadRows::reopen(Category category)
{
    Query* holder = view(category);
    if (holder->lines().isEmpty())
        return;
    holder->close();
    holder->open();
}

QString WorkloadRows::teacherTotal(const Selection& selection, QString* name)
{
    Query* teacher = m_data.dtbmdm2;
    teacher->setStatement(
        {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and") + selection.NodeFilter()});
    teacher->open();
    const QString total = teacher->fieldByName(QStringLiteral("Q")).asString();
    if (name)
        *name = teacher->fieldByName(QStringLiteral("rymc")).asString();
    return total;
}

QStringList WorkloadRows::typeList(int category)
{
    Query* q = m_data.xssj2;
    q->setStatement({QStringLiteral("select * from sysparameter where fenlie=%1 order by sunxu").arg(category)});
    q->open();
    // A type defined for both student groups is listed twice, as read.
    QStringList types;
    for (q->first(); !q->eof(); q->next())
        types << q->fieldByName(QStringLiteral("shuoming")).asString();
    q->close();
    m_data.dtbmdm1->close();
    return types;
}

QStringList WorkloadRows::courseTypes()
{
    return typeList(0);
}

QStringList WorkloadRows::practiceTypes()
{
    return typeList(9);
}

WorkloadRows::Teacher WorkloadRows::selectedTeacher()
{
    Query* q = m_data.dtbmdm2;
    q->setStatement(
        {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and ") + m_session.selection.NodeFilter()});
    q->open();
    Teacher t;
    if (q->recordCount() > 0) {
        t.found = true;
        t.rymc = q->fieldByName(QStringLiteral("rymc")).asString();
        t.ybmc = q->fieldByName(QStringLiteral("ybmc")).asString();
        t.bmmc = q->fieldByName(QStringLiteral("bmmc")).asString();
        t.ryxz = q->fieldByName(QStringLiteral("ryxz")).asString();
        t.ryzc = q->fieldByName(QStringLiteral("ryzc")).asString();
        t.rygw = q->fieldByName(QStringLiteral("rygw")).asString();
    }
    return t;
}

QString WorkloadRows::currentYear()
{
    TableObject* settings = m_data.Tbsystem;
    if (!settings->isActive())
        settings->activate();
    return settings->fieldByName(QStringLiteral("Nd")).asString();
}

WorkloadRows::Save WorkloadRows::insertTheoryRow(const QList<RowField>& fields, const QString& courseType,
                                                 const QString& studentType)
{
    return save([this](const QList<RowField>& row) { return RowStatement::insert(row, takeSerial()); }, fields,
                Theory{courseType, studentType}, nullptr, true);
}

WorkloadRows::Save WorkloadRows::updateTheoryRow(const QList<RowField>& fields, const QString& xh,
                                                 const QString& section, const QString& faculty,
                                                 const QString& courseType, const QString& studentType)
{
    const QString where = QStringLiteral("where xh=%1 and jiaoyanshi=%2 and yuanbu=%3")
                              .arg(Sql::quote(xh), Sql::quote(section), Sql::quote(faculty));
    return save([&where](const QList<RowField>& row) { return RowStatement::update(row, where); }, fields,
                Theory{courseType, studentType});
}

WorkloadRows::Save WorkloadRows::insertPracticeRow(const QList<RowField>& fields)
{
    return save([this](const QList<RowField>& row) { return RowStatement::insert(row, takeSerial()); }, fields,
                std::nullopt, nullptr, true);
}

WorkloadRows::Save WorkloadRows::updatePracticeRow(const QList<RowField>& fields, const QString& xh)
{
    // Found by its serial and the teacher's present section name, as the store has it when the
    // update runs.
    int changed = 0;
    const Save saved = save(
        [&xh](const QList<RowField>& row) {
            const QString section = RowField::textOf(row, QStringLiteral("jiaoyanshi"));
            return RowStatement::update(
                row, QStringLiteral("where xh=%1 and jiaoyanshi=%2").arg(Sql::quote(xh), Sql::quote(section)));
        },
        fields, std::nullopt, &changed);
    return saved == Save::Saved && changed == 0 ? Save::NotFound : saved;
}

WorkloadRows::Save WorkloadRows::save(const std::function<QStringList(const QList<RowField>&)>& statement,
                                      const QList<RowField>& fields, const std::optional<Theory>& theory, int* changed,
                                      bool takesSerial)
{
    m_refusal = RefusedText;
    for (const RowField& f : fields) {
        if (f.type == RowField::Type::Number && !NumberInput::isNumberLiteral(f.text)) {
            // A new row's serial is spent even when the row is refused.
            if (takesSerial)
                ++m_session.NextXh;
            return Save::Refused;
        }
    }
    Query* change = m_data.dtbmdm1;
    // The teacher is read under the write lock that the save takes, so the row carries the names
    // the store has when it is written; the row and the course-type order go in together: a
    // failure of the order update must not leave a saved row behind a dialog that is still open,
    // or a second "确定" would add it twice.
    Transaction transaction(*m_data.database());
    const Teacher teacher = selectedTeacher();
    if (!teacher.found)
        return Save::NoTeacher;
    try {
        change->setStatement(statement(withTeacher(fields, teacher)));
        const int rows = change->execSql();
        if (changed)
            *changed = rows;
    } catch (const StoreError& e) {
        // Only a refusal of the row itself (a width, type or range, a text without a GBK form) is
        // the operator's to mend; the store busy, the disk full or an I/O error is not.
        e.throwIfStoreState();
        if (Gbk::isUnrepresentableMessage(e.text()))
            m_refusal = e.text();
        return Save::Refused;
    }
    change->close();
    change->clear();
    if (theory)
        lowerCourseTypeOrder(theory->courseType, theory->studentType);
    transaction.commit();
    return Save::Saved;
}

QList<RowField> WorkloadRows::withTeacher(QList<RowField> fields, const Teacher& teacher)
{
    const std::pair<const char*, const QString*> copied[] = {
        {"jiaoshi", &teacher.rymc}, {"yuanbu", &teacher.ybmc},   {"jiaoyanshi", &teacher.bmmc},
        {"xingzhi", &teacher.ryxz}, {"zhicheng", &teacher.ryzc}, {"gangwei", &teacher.rygw},
    };
    for (RowField& f : fields) {
        for (const auto& [column, value] : copied)
            if (f.column == QLatin1String(column))
                f.text = *value;
    }
    return fields;
}

void WorkloadRows::lowerCourseTypeOrder(const QString& courseType, const QString& studentType)
{
    // Saving a course type moves it one step up the list for the next entry.
    m_data.dtbmdm1->setStatement(
        {QStringLiteral("update sysparameter set "), QStringLiteral("sunxu=sunxu-1"),
         QStringLiteral("where shuoming=%1 and yan=%2")
             .arg(Sql::quote(courseType),
                  Sql::quote(studentType == Postgraduate ? Postgraduate : QStringLiteral("本专生")))});
    m_data.dtbmdm1->execSql();
}

int WorkloadRows::takeSerial()
{
    // Taken under the save's write lock: past every serial in the store, which other operators of
    // a shared store (or other programs) may have taken since this one last looked, and past every
    // serial this program took itself, even for a row the store then refused.
    m_session.NextXh = std::max(m_session.NextXh, highestSerial()) + 1;
    return m_session.NextXh;
}

int WorkloadRows::highestSerial()
{
    Query* q = m_data.xssj2;
    q->setStatement({QStringLiteral("select max(xh) as xh from gzl")});
    q->open();
    const int serial = q->fieldByName(QStringLiteral("xh")).asInteger();
    q->close();
    return serial;
}

void WorkloadRows::deleteRow(const QString& xh)
{
    m_data.dtbmdm1->setStatement({QStringLiteral("delete from gzl"), QStringLiteral("where xh=") + Sql::quote(xh)});
    m_data.dtbmdm1->execSql();
}
