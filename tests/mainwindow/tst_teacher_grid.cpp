#include "MainWindowHarness.h"
#include "gui/MessageBox.h"
#include "gui/RecordCountLabel.h"
#include "masterdata/MasterDataText.h"
#include "masterdataui/TeacherScreen.h"
#include "support/WhileModal.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

const QStringList Faculty{QStringLiteral("理学院")};
const QStringList Section{QStringLiteral("理学院"), QStringLiteral("数学教研室")};

void setText(QWidget* dialog, const char* input, const QString& text)
{
    dialog->findChild<QLineEdit*>(QLatin1String(input))->setText(text);
}

} // namespace

class TestTeacherGrid : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        MessageBox::setScripted(true);
        MessageBox::clearShown();
    }

    void enabledByNode_data()
    {
        QTest::addColumn<QStringList>("node");
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("count");
        QTest::newRow("faculty") << Faculty << false << 3;
        QTest::newRow("section") << Section << true << 2;
    }
    void enabledByNode()
    {
        QFETCH(QStringList, node);
        QFETCH(bool, editing);
        QFETCH(int, count);
        MainWindowHarness h;
        h.select(node);
        for (const char* name : {"BitBtn8", "BitBtn9", "BitBtn10"})
            QCOMPARE(h.find<QPushButton>(name)->isEnabled(), editing);
        for (const char* name : {"BitBtn11", "BitBtn12"})
            QVERIFY(h.find<QPushButton>(name)->isEnabled());
        QCOMPARE(h.find<RecordCountLabel>("Label5")->count(), count);
    }

    void addingAndEditingThroughTheTeacherDialog()
    {
        MainWindowHarness h;
        h.select(Section);
        TeacherDialog& rydm2 = h.teacherDialog();
        QCOMPARE(rydm2.objectName(), QStringLiteral("rydm2"));
        auto* grid = h.find<QTableView>("DBGrid5");

        // "放弃": nothing counted; the last row is current.
        QVERIFY(whileModal(
            &rydm2, [&] { h.find<QPushButton>("BitBtn8")->click(); },
            [&] { rydm2.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click(); }));
        QCOMPARE(h.find<RecordCountLabel>("Label5")->count(), 2);
        QCOMPARE(grid->currentIndex().row(), 1);

        bool adding = false;
        QVERIFY(whileModal(
            &rydm2, [&] { h.find<QPushButton>("BitBtn8")->click(); },
            [&] {
                adding = rydm2.mode() == MasterDataDialog::Mode::Add;
                setText(&rydm2, "Edit1", QStringLiteral("T00"));
                setText(&rydm2, "Edit2", QStringLiteral("钱七"));
                rydm2.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            }));
        QVERIFY(adding);
        QVERIFY(MessageBox::shown().empty());
        // Filed under the selected section; the main window's count goes up; the last row is current.
        QCOMPARE(h.store().scalar(QStringLiteral("select bmdm||ryzc from rydm where rydm='T00'")),
                 QStringLiteral("S01中级"));
        QCOMPARE(h.find<RecordCountLabel>("Label5")->count(), 3);
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(grid->currentIndex().row(), 2);

        grid->selectRow(1); // T01 张三, after T00
        QString loaded;
        QVERIFY(whileModal(
            &rydm2, [&] { h.find<QPushButton>("BitBtn9")->click(); },
            [&] {
                loaded = rydm2.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text();
                setText(&rydm2, "Edit2", QStringLiteral("张叁"));
                rydm2.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            }));
        QCOMPARE(loaded, QStringLiteral("T01"));
        QCOMPARE(h.store().count(QStringLiteral("gzl"), QStringLiteral("jiaoshi='张叁'")), 5);
        QCOMPARE(grid->currentIndex().row(), 1);
        QCOMPARE(h.store().data().dtrydm->fieldByName(QStringLiteral("rymc")).asString(), QStringLiteral("张叁"));
        QCOMPARE(h.find<RecordCountLabel>("Label5")->count(), 3);
    }

    void deleting_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("countAfter");
        QTest::newRow("a teacher with workload rows") << 0 << MasterDataText::TeacherHasWorkload << 2;
        QTest::newRow("a teacher without") << 1 << QString() << 1;
    }
    void deleting()
    {
        QFETCH(int, row);
        QFETCH(QString, refusal);
        QFETCH(int, countAfter);
        MainWindowHarness h;
        h.select(Section);
        h.find<QTableView>("DBGrid5")->selectRow(row);
        h.find<QPushButton>("BitBtn10")->click();
        QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("提示信息"));
        QCOMPARE(MessageBox::shown().front().text, MasterDataText::TeacherDeleteQuestion);
        QCOMPARE(MessageBox::shown().back().text, refusal.isEmpty() ? MasterDataText::TeacherDeleteQuestion : refusal);
        QCOMPARE(h.find<RecordCountLabel>("Label5")->count(), countAfter);
        QCOMPARE(h.store().count(QStringLiteral("rydm"), QStringLiteral("bmdm='S01'")), countAfter);
        QCOMPARE(h.find<QTableView>("DBGrid5")->currentIndex().row(), 0);
    }

    void calculatingTheNode_data()
    {
        QTest::addColumn<QStringList>("node");
        QTest::addColumn<QString>("yearFilter");
        QTest::newRow("faculty") << Faculty << "nd like '%2026-2027学年%' and yuanbu='理学院'";
        QTest::newRow("section") << Section << "nd like '%2026-2027学年%' and jiaoyanshi='数学教研室'";
    }
    void calculatingTheNode()
    {
        QFETCH(QStringList, node);
        QFETCH(QString, yearFilter);
        MainWindowHarness h;
        h.select(node);
        QCOMPARE(h.session().selection.YearFilter(), yearFilter);
        auto* grid = h.find<QTableView>("DBGrid5");
        grid->selectRow(1);
        const QString teacher = h.store().data().dtrydm->fieldByName(QStringLiteral("rydm")).asString();
        // Every update the calculation runs runs under the hourglass.
        int updates = 0;
        bool hourglass = true;
        h.store().db().setTracer([&](const QString& statement) {
            if (!statement.startsWith(u"update"))
                return;
            ++updates;
            hourglass = hourglass && QApplication::overrideCursor() &&
                        QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        h.find<QPushButton>("BitBtn12")->click();
        h.store().db().setTracer({});
        QVERIFY(MessageBox::shown().empty());
        QVERIFY(updates > 0);
        QVERIFY(hourglass);
        QVERIFY(!QApplication::overrideCursor());
        // 张三's total is the sum of the year's computed rows; the grid shows it, on the same row.
        const double q = h.store().scalar(QStringLiteral("select q from rydm where rydm='T01'")).toDouble();
        const double sum =
            h.store()
                .scalar(QStringLiteral(
                    "select round(total(q11)+total(q12)+total(q2)+total(q31)+total(q32)+total(q33),2) from gzl "
                    "where jiaoshi='张三'"))
                .toDouble();
        QVERIFY(sum > 0);
        QCOMPARE(q, sum);
        QCOMPARE(grid->currentIndex().row(), 1);
        QCOMPARE(h.store().data().dtrydm->fieldByName(QStringLiteral("rydm")).asString(), teacher);
        h.store().data().dtrydm->first();
        QCOMPARE(h.store().data().dtrydm->fieldByName(QStringLiteral("q")).asFloat(), sum);
    }

    void sharesItsListWithTheTeacherScreen()
    {
        // The teacher screen lists its section into the grid's holder: the grid shows that list
        // until the next faculty or section is chosen, while its count stays.
        MainWindowHarness h;
        h.select(Faculty);
        TeacherDialog rydm1(h.store().data(), QStringLiteral("rydm1"));
        TeacherScreen screen(h.store().data(), rydm1);
        h.store().data().Tbsystem->edit();
        h.store().data().Tbsystem->setFieldText(QStringLiteral("jys"), QStringLiteral("S02"));
        screen.show();
        screen.hide();
        QCOMPARE(h.find<QTableView>("DBGrid5")->model()->rowCount(), 1);
        QCOMPARE(h.find<RecordCountLabel>("Label5")->count(), 3);
        QCOMPARE(h.find<QTableView>("DBGrid5")->model()->columnCount(), 13);
        h.select(Section);
        QCOMPARE(h.find<QTableView>("DBGrid5")->model()->rowCount(), 2);
    }
};

QTEST_MAIN(TestTeacherGrid)
#include "tst_teacher_grid.moc"
