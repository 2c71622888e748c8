// Each calculation that is kept leaves one record of its year, node and time; one that is undone
// leaves none.
#include "CalcFixture.h"
#include "calc/CalculationRecords.h"
#include "calc/WorkloadCalculator.h"
#include "store/StoreError.h"

#include <QTest>

using namespace CalcFixture;

class TestCalcRecords : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<TestStore>();
        addPeople(m_store->db());
        addRow(m_store->db(), 1, QStringLiteral("fl,r32,q32"), QStringLiteral("'毕业设计',2,12.5"));
    }

    void recordsTheNodeCalculated_data()
    {
        QTest::addColumn<Selection>("node");
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("names"); // yuanbu, jiaoyanshi, jiaoshi
        QTest::newRow("faculty") << faculty() << 1 << QStringList{Faculty, {}, {}};
        QTest::newRow("section") << Selection::section(Year, Section) << 2 << QStringList{{}, Section, {}};
        QTest::newRow("teacher") << Selection::teacher(Year, QStringLiteral("张三"), Section) << 3
                                 << QStringList{{}, Section, QStringLiteral("张三")};
    }
    void recordsTheNodeCalculated()
    {
        QFETCH(Selection, node);
        QFETCH(int, level);
        QFETCH(QStringList, names);
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        calculate(*m_store, node);
        QCOMPARE(m_store->count(QStringLiteral("jsjl")), 1);
        const Database::Result r =
            m_store->db().select(QStringLiteral("select nd, jb, yuanbu, jiaoyanshi, jiaoshi, sj from jsjl"));
        const QVariantList row = r.rows.front();
        QCOMPARE(row.value(0).toString(), Year);
        QCOMPARE(row.value(1).toInt(), level);
        QCOMPARE((QStringList{row.value(2).toString(), row.value(3).toString(), row.value(4).toString()}), names);
        const std::vector<CalculationRecords::Record> read = CalculationRecords::ofYear(m_store->db(), Year);
        QCOMPARE(read.size(), std::size_t(1));
        QCOMPARE(read.front().node, node.node);
        QVERIFY(read.front().at >= before && read.front().at <= QDateTime::currentDateTime());
        QVERIFY(CalculationRecords::ofYear(m_store->db(), QStringLiteral("2025-2026学年")).empty());
    }

    void aWholeYearIsOneRecord()
    {
        WorkloadCalculator(m_store->data()).calculateYear(Year);
        const std::vector<CalculationRecords::Record> read = CalculationRecords::ofYear(m_store->db(), Year);
        QCOMPARE(read.size(), std::size_t(1));
        QCOMPARE(read.front().node.level, Selection::Level::Year);
    }

    void anUndoneRunLeavesNoRecord_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("node without teachers") << QStringLiteral("nobody");
        QTest::newRow("refused statement") << QStringLiteral("statement");
    }
    void anUndoneRunLeavesNoRecord()
    {
        QFETCH(QString, fault);
        Selection node = faculty();
        if (fault == u"nobody")
            node = Selection::section(Year, QStringLiteral("没有的教研室"));
        else
            addParameter(m_store->db(), 2, 1, QStringLiteral("q32"), QStringLiteral("1"), QString());
        QVERIFY_THROWS_EXCEPTION(StoreError, calculate(*m_store, node));
        QCOMPARE(m_store->count(QStringLiteral("jsjl")), 0);
    }

private:
    std::unique_ptr<TestStore> m_store;
};

QTEST_GUILESS_MAIN(TestCalcRecords)
#include "tst_calc_records.moc"
