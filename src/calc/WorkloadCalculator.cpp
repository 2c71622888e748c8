#include "calc/WorkloadCalculator.h"

#include "calc/CalculationRecords.h"

#include "session/Selection.h"
#include "store/DataModule.h"
#include "store/NumberFormat.h"
#include "store/PreparedStatement.h"
#include "store/Sql.h"
#include "store/SqlTokens.h"
#include "store/StoreError.h"
#include "store/Transaction.h"
#include "store/WorkloadCategories.h"
#include "store/WorkloadStage.h"

#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// A probe only decides whether the update after it would touch any row, so it runs just as
// far as the first row instead of materialising the whole result; the statement stays the
// holder's, and the store sees (and traces) it as it is.
bool probe(Query& holder, const QString& statement)
{
    holder.setStatement({statement});
    return holder.hasRows();
}

int execute(Query& holder, const QStringList& lines)
{
    holder.setStatement(lines);
    return holder.execSql();
}

// A column sum in hundredths, held as the 32-bit whole number the totals are kept in: halves go
// to the even neighbour. A sum that does not fit is refused rather than stored wrong.
QString totalText(double hundredths, const QString& column, const QString& teacher, const QString& statement)
{
    const double whole = std::nearbyint(hundredths); // default rounding mode: half to even
    if (!(whole >= double(std::numeric_limits<qint32>::min()) && whole <= double(std::numeric_limits<qint32>::max())))
        throw StoreError(QStringLiteral("教师 %1 的 %2 合计 %3 超出可以保存的范围 (最大 21474836.47)")
                             .arg(teacher, column, NumberFormat::general(hundredths / 100.0)),
                         statement);
    return NumberFormat::general(double(qint32(whole)) / 100.0);
}

} // namespace

void WorkloadCalculator::courseTypeStage(const QString& filter, CalculationSummary& summary)
{
    DataModule& dm = m_data;
    Query& params = *dm.Query2;
    // Equal sunxu keeps the store's row order; the store sorts stably only by what it is told,
    // hence the row identity after sunxu.
    params.setStatement({QStringLiteral("select * from sysparameter where fenlie=0 or fenlie=1 order by sunxu, %1")
                             .arg(database().rowIdentity())});
    params.open();
    for (; !params.eof(); params.next()) {
        const QString shuoming = params.fieldByName(QStringLiteral("shuoming")).asString();
        const QString yan = params.fieldByName(QStringLiteral("yan")).asString();
        const QString k11 = params.fieldByName(QStringLiteral("k11")).asString();
        const QString s1 = params.fieldByName(QStringLiteral("s1")).asString();
        const QString k12 = params.fieldByName(QStringLiteral("k12")).asString();
        const QString s2 = params.fieldByName(QStringLiteral("s2")).asString();
        const QString gs = params.fieldByName(QStringLiteral("gs")).asString().trimmed();
        const QString tiaojian = params.fieldByName(QStringLiteral("tiaojian")).asString();
        const FiniteResults::ParameterRow row{params.fieldByName(QStringLiteral("fenlie")).asString(), shuoming, gs};

        const QString where = QStringLiteral("where ") + filter + QStringLiteral(" and ") + tiaojian +
                              QStringLiteral(" and shuoming=") + Sql::quote(shuoming);
        QString probeStatement = QStringLiteral("select * from gzl ") + where;
        if (yan == QStringLiteral("研究生"))
            probeStatement += QStringLiteral(" and yan='研究生'");
        if (!probe(*dm.Query1, probeStatement))
            continue;
        summary.rowsTouched +=
            assign({QStringLiteral("update gzl set s1=%1,k12=%2,s2=%3").arg(s1, k12, s2), where}, where,
                   {{QStringLiteral("s1"), s1}, {QStringLiteral("k12"), k12}, {QStringLiteral("s2"), s2}}, row);
        summary.rowsTouched +=
            assign({QStringLiteral("update gzl set %1=%2").arg(gs, k11), where}, where, {{gs, k11}}, row);
    }
    params.close();
}

void WorkloadCalculator::formulaStages(const QString& filter, CalculationSummary& summary)
{
    DataModule& dm = m_data;
    Query& params = *dm.Query2;
    for (int category = 2; category <= 12; ++category) {
        params.setStatement({QStringLiteral("select * from sysparameter where fenlie=%1 order by sunxu, %2")
                                 .arg(category)
                                 .arg(database().rowIdentity())});
        params.open();
        for (; !params.eof(); params.next()) {
            const QString k11 = params.fieldByName(QStringLiteral("k11")).asString();
            const QString tiaojian = params.fieldByName(QStringLiteral("tiaojian")).asString();
            const QString gs = params.fieldByName(QStringLiteral("gs")).asString().trimmed();
            const FiniteResults::ParameterRow row{QString::number(category),
                                                  params.fieldByName(QStringLiteral("shuoming")).asString(), gs};
            const QString where = QStringLiteral("where ") + filter + QStringLiteral(" and ") + tiaojian;
            if (!probe(*dm.Query1, QStringLiteral("select * from gzl ") + where))
                continue;
            summary.rowsTouched +=
                assign({QStringLiteral("update gzl set %1=%2").arg(gs, k11), where}, where, {{gs, k11}}, row);
        }
        params.close();
    }
}

int WorkloadCalculator::assign(const QStringList& lines, const QString& where,
                               const QList<FiniteResults::Assignment>& assigned, const FiniteResults::ParameterRow& row)
{
    FiniteResults finite(database(), m_stage);
    const QString statement = lines.join(u'\n');
    finite.checkAhead(where, assigned, row, statement);
    try {
        return execute(*m_data.xssj2, lines);
    } catch (const StoreError& e) {
        finite.explainRefusal(e, where, assigned, row, statement);
        throw;
    }
}

void WorkloadCalculator::totalsStage(const Selection& selection, CalculationSummary& summary)
{
    DataModule& dm = m_data;
    const QString& filter = selection.YearFilter();
    Query& teachers = *dm.Query2;
    Query& sums = *dm.Query1;
    const QStringList& totals = totalColumns();
    teachers.setStatement({QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and ") +
                           selection.NodeFilter() + QStringLiteral(" order by rydm")});
    teachers.open();
    for (; !teachers.eof(); teachers.next()) {
        const QString rydm = teachers.fieldByName(QStringLiteral("rydm")).asString();
        const QString rymc = teachers.fieldByName(QStringLiteral("rymc")).asString();
        const QString bmmc = teachers.fieldByName(QStringLiteral("bmmc")).asString();
        const QString ybmc = teachers.fieldByName(QStringLiteral("ybmc")).asString();
        const QString key = QStringLiteral("where rydm=") + Sql::quote(rydm);
        const QString rows = QStringLiteral("from gzl where ") + filter + QStringLiteral(" and jiaoshi=") +
                             Sql::quote(rymc) + QStringLiteral(" and jiaoyanshi=") + Sql::quote(bmmc) +
                             QStringLiteral(" and yuanbu=") + Sql::quote(ybmc);
        ++summary.teachersUpdated;
        if (!probe(sums, QStringLiteral("select q33 ") + rows)) {
            execute(*dm.xssj2, totalsUpdate(QStringList(totals.size(), QStringLiteral("0")), key));
            continue;
        }
        QStringList sumList;
        for (const QString& column : totals)
            sumList << QStringLiteral("sum(%1)*100 as %1").arg(column);
        sums.setStatement({QStringLiteral("select ") + sumList.join(u',') + u' ' + rows});
        sums.open();
        QStringList values;
        for (const QString& column : totals)
            values << totalText(sums.fieldByName(column).asFloat(), column, rymc, sums.text());
        sums.close();
        execute(*dm.xssj2, totalsUpdate(values, key));
    }
    teachers.close();
    execute(*dm.xssj2, {QStringLiteral("update rydm set q=") + totals.join(u'+')});
}

// "update rydm set q11=<v>," "q12=<v>," ... "q33=<v>" and the teacher's key, a line each.
QStringList WorkloadCalculator::totalsUpdate(const QStringList& values, const QString& key)
{
    const QStringList& totals = totalColumns();
    QStringList lines;
    for (qsizetype i = 0; i < totals.size(); ++i)
        lines << (i == 0 ? QStringLiteral("update rydm set ") : QString()) + totals[i] + u'=' + values[i] +
                     (i + 1 < totals.size() ? QStringLiteral(",") : QString());
    lines << key;
    return lines;
}

const QStringList& WorkloadCalculator::totalColumns()
{
    static const QStringList columns = [] {
        QStringList out;
        for (const char* c : WorkloadCategories::totalColumns())
            out << QString::fromLatin1(c);
        return out;
    }();
    return columns;
}

void WorkloadCalculator::refuseIfNoTeacher(const CalculationSummary& summary, const QString& node)
{
    // A node without teachers has no totals to compute: saying "0 teachers" and succeeding would
    // hide that the node is not what the caller took it for (renamed or emptied meanwhile).
    if (summary.teachersUpdated == 0)
        throw StoreError(QStringLiteral("没有找到要计算的教师，计算没有进行: %1").arg(node));
}

Database& WorkloadCalculator::database() const
{
    if (!m_data.database())
        throw StoreError(QStringLiteral("没有连接数据库"));
    return *m_data.database();
}

QStringList WorkloadCalculator::facultyNames()
{
    Query& list = *m_data.xssj2;
    list.setStatement({QStringLiteral("select mc from yuanbu order by mc")});
    list.open();
    QStringList names;
    for (; !list.eof(); list.next())
        names << list.fieldByName(QStringLiteral("mc")).asString();
    list.close();
    return names;
}

Database::CalculationGrant WorkloadCalculator::grant(quint64 budget)
{
    // The workload rows, the teachers, their sections (the totals join rydm with bmdm) and the
    // parameter rows. Operators, years, faculties, settings, work tables and the schema stay
    // unseen. What the calculation computes is written: names, year, faculty, section, category,
    // serial and the raw facts typed in at entry never are; q32 and q33 are typed in as well, but
    // a parameter row may compute them.
    QStringList computed;
    for (const char* c : WorkloadCategories::computedColumns())
        computed << QString::fromLatin1(c);
    const QStringList totals = QStringList{QStringLiteral("q")} + totalColumns();
    return {{QStringLiteral("gzl"), QStringLiteral("rydm"), QStringLiteral("bmdm"), QStringLiteral("sysparameter")},
            {{QStringLiteral("gzl"), computed}, {QStringLiteral("rydm"), totals}},
            budget};
}

void WorkloadCalculator::runGuarded(const QList<Selection>& nodes, CalculationSummary& summary)
{
    const bool staging = m_staging && parametersKeepToTheirRows();
    try {
        for (const Selection& node : nodes) {
            // The staging copies rows into a table of the calculation's own, which the guard does
            // not allow; the write back is under the guard like every update of the store's rows
            // (a trigger on them runs no statement that a parameter row could not).
            const std::unique_ptr<WorkloadStage> stage =
                staging ? database().stageWorkload(node.YearFilter()) : nullptr;
            m_stage = stage.get();
            const std::unique_ptr<Database::Scope> guard = database().guardCalculation(grant(m_stepLimit));
            courseTypeStage(node.YearFilter(), summary);
            formulaStages(node.YearFilter(), summary);
            totalsStage(node, summary);
            if (stage)
                stage->writeBack();
            m_stage = nullptr;
        }
    } catch (...) {
        m_stage = nullptr;
        for (Query* q : {m_data.Query1, m_data.Query2, m_data.xssj2})
            q->close();
        throw;
    }
}

// Whether every parameter row's texts keep the statements to the rows of the node (see
// SqlTokens::keepsToItsRows): then the node's rows can be staged on their own.
bool WorkloadCalculator::parametersKeepToTheirRows()
{
    const std::unique_ptr<PreparedStatement> texts =
        database().prepare(QStringLiteral("select tiaojian, k11, s1, k12, s2, gs from sysparameter "
                                          "where fenlie in (0,1,2,3,4,5,6,7,8,9,10,11,12)"));
    while (texts->step()) {
        for (int i = 0; i < texts->columnCount(); ++i)
            if (!SqlTokens::keepsToItsRows(texts->textAt(i)))
                return false;
    }
    return true;
}

CalculationSummary WorkloadCalculator::calculate(const Selection& selection, const Precondition& holds)
{
    Database& db = database();
    // One run is all or nothing: a refused statement (or a total out of range) rolls back every
    // update the run made, instead of leaving half-computed rows behind.
    Transaction transaction(db);
    if (holds && !holds())
        return {};
    db.refreshPlannerStatistics(QStringLiteral("gzl"));
    CalculationSummary summary;
    runGuarded({selection}, summary);
    refuseIfNoTeacher(summary, selection.YearTitle());
    CalculationRecords::write(db, selection.academicYear, selection.node, QDateTime::currentDateTime());
    transaction.commit();
    return summary;
}

CalculationSummary WorkloadCalculator::calculateYear(const QString& year, int* faculties, const Precondition& holds)
{
    Database& db = database();
    // The year is one run: every faculty or none, also when a later faculty is refused. One
    // transaction also spares a commit per faculty.
    Transaction transaction(db);
    if (holds && !holds())
        return {};
    const QStringList names = facultyNames();
    db.refreshPlannerStatistics(QStringLiteral("gzl"));
    QList<Selection> nodes;
    for (const QString& name : names)
        nodes << Selection::faculty(year, name);
    CalculationSummary total;
    runGuarded(nodes, total);
    refuseIfNoTeacher(total, year);
    CalculationRecords::write(db, year, Selection::year(year).node, QDateTime::currentDateTime());
    transaction.commit();
    if (faculties)
        *faculties = int(names.size());
    return total;
}
