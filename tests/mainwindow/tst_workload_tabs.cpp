#include "MainWindowHarness.h"
#include "entry/PracticeEntryDialog.h"
#include "entry/TheoryEntryDialog.h"
#include "gui/MessageBox.h"
#include "session/Session.h"
#include "store/DataSource.h"
#include "store/NumberFormat.h"
#include "support/WhileModal.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

const QStringList Zhang{QStringLiteral("理学院"), QStringLiteral("数学教研室"), QStringLiteral("张三")};

// Chinese text arrives the way an input method commits it.
void commitText(QWidget* widget, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

QString shownText()
{
    return MessageBox::shown().empty() ? QString() : MessageBox::shown().front().text;
}

QString currentXh(Query* q)
{
    return q->fieldByName(QStringLiteral("xh")).asString();
}

} // namespace

class TestWorkloadTabs : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        MessageBox::setScripted(true);
        MessageBox::clearShown();
    }

    void theoryDeleteRepositions_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("current");
        QTest::newRow("first row: the new first row") << 0 << true << QStringList{"2", "3"} << QStringLiteral("2");
        QTest::newRow("middle row: the row before") << 1 << true << QStringList{"1", "3"} << QStringLiteral("1");
        QTest::newRow("last row: the row before") << 2 << true << QStringList{"1", "2"} << QStringLiteral("2");
        QTest::newRow("cancel: nothing") << 1 << false << QStringList{"1", "2", "3"} << QStringLiteral("2");
    }
    void theoryDeleteRepositions()
    {
        QFETCH(int, row);
        QFETCH(bool, confirm);
        QFETCH(QStringList, left);
        QFETCH(QString, current);
        MainWindowHarness h;
        h.select(Zhang);
        h.find<QTableView>("DBGrid1")->selectRow(row);
        MessageBox::setNextAnswer(confirm ? MessageBox::AnswerOk : MessageBox::AnswerCancel);
        h.find<QPushButton>("BitBtn3")->click();

        QCOMPARE(MessageBox::shown().size(), size_t(1));
        const MessageBox::Shown& asked = MessageBox::shown().front();
        QCOMPARE(asked.text, QStringLiteral("你确信要删除选择数据吗？"));
        QCOMPARE(asked.caption, QStringLiteral("提示信息"));
        QCOMPARE(asked.icon, MessageBox::NoIcon);
        QCOMPARE(asked.buttons, MessageBox::OkCancel);
        Query* q = h.store().data().dtllsj;
        QStringList xhs;
        for (const QVariantList& r :
             h.store().db().select(QStringLiteral("select xh from gzl where fl='理论实验' order by xh")).rows)
            xhs << r.front().toString();
        QCOMPARE(xhs, left);
        QCOMPARE(q->recordCount(), int(left.size()));
        QCOMPARE(currentXh(q), current);
        QCOMPARE(h.find<QTableView>("DBGrid1")->currentIndex().row(), q->currentRow());
    }

    void practiceDeleteLeavesTheFirstRowCurrent()
    {
        MainWindowHarness h;
        h.select(Zhang);
        h.find<QTableView>("DBGrid2")->selectRow(1);
        h.find<QPushButton>("BitBtn7")->click();
        QCOMPARE(h.store().count(QStringLiteral("gzl"), QStringLiteral("xh=5")), 0);
        QCOMPARE(currentXh(h.store().data().dtsxsj), QStringLiteral("4"));

        // With the selected kind's grid empty nothing is asked or deleted.
        MessageBox::clearShown();
        h.find<QRadioButton>("RadioButton2")->setChecked(true);
        h.find<QPushButton>("BitBtn7")->click();
        QVERIFY(MessageBox::shown().empty());
        QCOMPARE(h.store().count(QStringLiteral("gzl")), 4);
    }

    void practiceCommandsFollowTheSelectedKind_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("shown");
        QTest::newRow("add internship") << "RadioButton1"
                                        << "BitBtn5" << 1 << true;
        QTest::newRow("add graduation design") << "RadioButton2"
                                               << "BitBtn5" << 2 << true;
        QTest::newRow("add supervision") << "RadioButton3"
                                         << "BitBtn5" << 3 << true;
        QTest::newRow("edit internship") << "RadioButton1"
                                         << "BitBtn6" << 4 << true;
        QTest::newRow("edit empty graduation design") << "RadioButton2"
                                                      << "BitBtn6" << 5 << false;
        QTest::newRow("edit empty supervision") << "RadioButton3"
                                                << "BitBtn6" << 6 << false;
    }
    void practiceCommandsFollowTheSelectedKind()
    {
        QFETCH(QString, radio);
        QFETCH(QString, button);
        QFETCH(int, kind);
        QFETCH(bool, shown);
        MainWindowHarness h;
        h.select(Zhang);
        h.window().findChild<QRadioButton*>(radio)->setChecked(true);
        // The kind as the main window opens the dialog: 1-3 add, 4-6 edit.
        int kindSeen = -1;
        PracticeEntryDialog& dialog = h.practiceDialog();
        const bool came = whileModal(
            &dialog, [&] { h.window().findChild<QPushButton*>(button)->click(); },
            [&] { kindSeen = int(dialog.kind()) + (dialog.mode() == PracticeEntryDialog::Mode::Edit ? 3 : 0); });
        QCOMPARE(came, shown);
        if (shown)
            QCOMPARE(kindSeen, kind);
    }

    void clickingAGridSelectsItsKind()
    {
        MainWindowHarness h;
        h.select(Zhang);
        h.window().findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        h.find<QRadioButton>("RadioButton3")->setChecked(true);
        auto* grid = h.find<QTableView>("DBGrid2");
        const QRect cell = grid->visualRect(grid->model()->index(1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(h.find<QRadioButton>("RadioButton1")->isChecked());
        QVERIFY(!h.find<QRadioButton>("RadioButton3")->isChecked());
        QCOMPARE(currentXh(h.store().data().dtsxsj), QStringLiteral("5"));
    }

    void theoryEditReturnsToTheRow()
    {
        MainWindowHarness h;
        h.select(Zhang);
        h.find<QTableView>("DBGrid1")->selectRow(1);
        TheoryEntryDialog* fmlilunf = &h.theoryDialog();
        int mode = -1;
        QVERIFY(whileModal(
            fmlilunf, [&] { h.find<QPushButton>("BitBtn2")->click(); },
            [&] {
                mode = fmlilunf->mode() == TheoryEntryDialog::Mode::Edit ? 0 : 1;
                // Saving re-opens the grid's holder, which then stands on its first row.
                auto* kname = fmlilunf->findChild<QLineEdit*>(QStringLiteral("kname"));
                kname->clear();
                commitText(kname, QStringLiteral("线性代数与几何"));
                fmlilunf->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            }));
        QCOMPARE(mode, 0);
        QVERIFY2(MessageBox::shown().empty(), qPrintable(shownText()));
        QCOMPARE(h.store().scalar(QStringLiteral("select kname from gzl where xh=2")),
                 QStringLiteral("线性代数与几何"));
        QCOMPARE(currentXh(h.store().data().dtllsj), QStringLiteral("2"));
    }

    // Log in state -> select a teacher -> add a theory row -> calculate -> the total -> the section's grid.
    void roadOfATheoryRow()
    {
        MainWindowHarness h;
        const int before = h.session().NextXh;
        h.select(Zhang);
        TheoryEntryDialog* fmlilunf = &h.theoryDialog();
        QVERIFY(whileModal(
            fmlilunf, [&] { h.find<QPushButton>("BitBtn1")->click(); },
            [&] {
                QVERIFY(fmlilunf->mode() == TheoryEntryDialog::Mode::Add);
                commitText(fmlilunf->findChild<QLineEdit*>(QStringLiteral("kname")), QStringLiteral("数学分析"));
                commitText(fmlilunf->findChild<QLineEdit*>(QStringLiteral("banji")), QStringLiteral("数学2班"));
                QTest::keyClicks(fmlilunf->findChild<QLineEdit*>(QStringLiteral("t1")), QStringLiteral("64"));
                QTest::keyClicks(fmlilunf->findChild<QLineEdit*>(QStringLiteral("r1")), QStringLiteral("90"));
                fmlilunf->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            }));
        QVERIFY2(MessageBox::shown().empty(), qPrintable(shownText()));
        QCOMPARE(h.session().NextXh, before + 1);
        Query* theory = h.store().data().dtllsj;
        QCOMPARE(theory->recordCount(), 4);
        // After an add the new row, last in the list, is current.
        QCOMPARE(theory->fieldByName(QStringLiteral("kname")).asString(), QStringLiteral("数学分析"));
        QCOMPARE(currentXh(theory), QString::number(before + 1));

        // The calculation's statements run under the hourglass.
        int underHourglass = 0;
        h.store().db().setTracer([&](const QString& statement) {
            if (statement.startsWith(QStringLiteral("update")) && QApplication::overrideCursor() &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor)
                ++underHourglass;
        });
        h.find<QPushButton>("BitBtn4")->click();
        h.store().db().setTracer({});
        QVERIFY(MessageBox::shown().empty());
        QVERIFY(underHourglass > 0);
        QVERIFY(!QApplication::overrideCursor());
        const QString total = h.store().scalar(QStringLiteral("select q from rydm where rymc='张三'"));
        QVERIFY(total.toDouble() > 0);
        QVERIFY(total != QStringLiteral("123.456"));
        QCOMPARE(h.find<QLineEdit>("Edit1")->text(), total);
        QCOMPARE(currentXh(theory), QString::number(before + 1));
        QVERIFY(h.store().scalar(QStringLiteral("select q11 from gzl where kname='数学分析'")).toDouble() > 0);

        h.select({QStringLiteral("理学院"), QStringLiteral("数学教研室")});
        auto* grid = h.find<QTableView>("DBGrid5");
        auto* source = qobject_cast<DataSource*>(grid->model());
        QCOMPARE(source->headerData(6, Qt::Horizontal).toString(), QStringLiteral("总工作量"));
        QCOMPARE(source->displayText(0, 2), QStringLiteral("张三"));
        QCOMPARE(source->displayText(0, 6), total);
    }

    void theoryCommandsOnAnEmptyGridDoNothing()
    {
        MainWindowHarness h;
        h.select({QStringLiteral("理学院"), QStringLiteral("物理教研室"), QStringLiteral("王五")});
        h.find<QLineEdit>("Edit1")->setText(QStringLiteral("unchanged"));
        const QString statements = h.store().scalar(QStringLiteral("select count(*) from gzl"));
        QVERIFY(!whileModal(
            &h.theoryDialog(), [&] { h.find<QPushButton>("BitBtn2")->click(); }, [] {}));
        h.find<QPushButton>("BitBtn3")->click();
        h.find<QPushButton>("BitBtn4")->click();
        QVERIFY(MessageBox::shown().empty());
        QCOMPARE(h.find<QLineEdit>("Edit1")->text(), QStringLiteral("unchanged"));
        QCOMPARE(h.store().scalar(QStringLiteral("select count(*) from gzl")), statements);
    }
};

QTEST_MAIN(TestWorkloadTabs)
#include "tst_workload_tabs.moc"
