// The table of workload categories against the store's schema: every column it names is a column
// of the table it belongs to, the kinds' computed columns are the schema's computed columns, each
// once, and every teacher total is a number column of both the teachers and the workload rows.

#include "store/DataModule.h"
#include "store/StoreSchema.h"
#include "store/WorkloadCategories.h"
#include "support/TestStore.h"

#include <QSet>
#include <QTest>

namespace {

QSet<QString> columnsOf(TestStore& store, const QString& table)
{
    QSet<QString> names;
    for (const QString& c : store.db().columnsOf(table))
        names.insert(c);
    return names;
}

} // namespace

class TestCategories : public QObject
{
    Q_OBJECT

private slots:
    void tableAgreesWithTheSchema()
    {
        TestStore store;
        const QSet<QString> workload = columnsOf(store, QStringLiteral("gzl"));
        const QSet<QString> teachers = columnsOf(store, QStringLiteral("rydm"));
        QSet<QString> computed;
        QSet<QString> kinds;
        for (const WorkloadCategories::Category& c : WorkloadCategories::all()) {
            QVERIFY2(!kinds.contains(QString::fromUtf8(c.fl)), c.fl);
            kinds.insert(QString::fromUtf8(c.fl));
            QVERIFY2(store.data().query(QString::fromLatin1(c.view)), c.view);
            QVERIFY2(!c.totals.empty(), c.fl);
            for (const WorkloadCategories::Total& t : c.totals) {
                QVERIFY2(teachers.contains(QString::fromLatin1(t.column)), t.column);
                QVERIFY2(workload.contains(QString::fromLatin1(t.column)), t.column);
            }
            for (const char* column : c.computed) {
                QVERIFY2(workload.contains(QString::fromLatin1(column)), column);
                QVERIFY2(!computed.contains(QString::fromLatin1(column)), column); // one kind each
                computed.insert(QString::fromLatin1(column));
            }
        }
        // The totals of the kinds are the teachers' number columns besides the grand total q.
        QSet<QString> numbers;
        for (const StoreSchema::ColumnDef& c : StoreSchema::gzlColumns())
            if (c.type == StoreSchema::ColumnType::Number && computed.contains(QString::fromLatin1(c.name)))
                numbers.insert(QString::fromLatin1(c.name));
        QCOMPARE(numbers, computed);
        QCOMPARE(qsizetype(WorkloadCategories::totalColumns().size()),
                 qsizetype(teachers.size()) - 7); // rydm rymc bmdm ryzc ryxz rygw q
        // What the store itself holds of the kinds: the category names the demo rows carry.
        TestStore demo(true);
        const Database::Result fl = demo.db().select(QStringLiteral("select distinct fl from gzl"));
        for (const QVariantList& row : fl.rows)
            QVERIFY2(kinds.contains(row.value(0).toString()), qPrintable(row.value(0).toString()));
    }
};

QTEST_GUILESS_MAIN(TestCategories)
#include "tst_categories.moc"
