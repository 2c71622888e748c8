#include "gui/MessageBox.h"
#include "paramsui/ParameterScreen.h"
#include "store/DataModule.h"
#include "support/TestStore.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

// The default parameter rows: dtk12 lists category 0 by sunxu (公共基础课, 专业基础课, 专业课, 双语课,
// 实验课, 体育课, all 本专生), then category 1 (专业课 研究生 0.19, 公共基础课 研究生 0.15); dts3 lists
// 教学实习, 生产实习, 毕业实习, 认识实习, 课程设计, 社会实践 (S3 30, 30, 30, 40, 20, 40); k31 is "0.5".
namespace {

const QString NotANumber = QStringLiteral(" 输入的数值错误!请重新输入 ");
const QString OutOfRange = QStringLiteral(" 输入的数值超出限制!请重新输入 ");

template <typename T> T* child(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no widget %s", name);
    return c;
}

// One message box as shown: its caption and text.
using Shown = std::pair<QString, QString>;

QList<Shown> shownBoxes()
{
    QList<Shown> list;
    for (const MessageBox::Shown& s : MessageBox::shown())
        list << Shown{s.caption, s.text};
    return list;
}

Shown error(const QString& text)
{
    return {QStringLiteral("错误"), text};
}

Shown question(const QString& text)
{
    return {QStringLiteral("提示信息"), text};
}

// The screen on a fresh store, shown and active, with the statements it runs recorded.
class Fixture
{
public:
    Fixture() : screen(store.data())
    {
        store.db().setTracer([this](const QString& statement) { statements << statement; });
        open();
    }

    void open()
    {
        screen.show();
        QApplication::setActiveWindow(&screen);
        if (!QTest::qWaitForWindowActive(&screen))
            qFatal("the screen did not become active");
    }

    QTableView* grid(const char* name) { return child<QTableView>(&screen, name); }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(&screen, name); }
    QString label(const char* name) { return child<QLabel>(&screen, name)->text(); }
    void press(const char* button) { QTest::mouseClick(child<QPushButton>(&screen, button), Qt::LeftButton); }

    void click(const char* gridName, int row)
    {
        QTableView* view = grid(gridName);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
    }
    void doubleClick(const char* gridName, int row)
    {
        QTableView* view = grid(gridName);
        const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    QString k12(const QString& shuoming, const QString& yan)
    {
        return store.scalar(QStringLiteral("select k12 from sysparameter where fenlie in (0,1) and shuoming='%1' "
                                           "and yan='%2'")
                                .arg(shuoming, yan));
    }
    QString k11(int fenlie, const QString& shuoming = {})
    {
        return store.scalar(
            QStringLiteral("select k11 from sysparameter where fenlie=%1%2")
                .arg(fenlie)
                .arg(shuoming.isEmpty() ? QString() : QStringLiteral(" and shuoming='%1'").arg(shuoming)));
    }
    QStringList updates() const { return statements.filter(QRegularExpression(QStringLiteral("^update"))); }

    TestStore store;
    ParameterScreen screen;
    QStringList statements;
};

} // namespace

class TestParameterScreen : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        MessageBox::setScripted(true);
        MessageBox::clearShown();
    }

    void opening();
    void k12_data();
    void k12();
    void k12ChangesEveryRowOfDescriptionAndGroup();
    void s3_data();
    void s3();
    void k31_data();
    void k31();
    void noRowChosen();
    void keyboardMovesKeepTheKey();
    void doubleClickFocusesTheInput();
    void storeRefusal();
};

void TestParameterScreen::opening()
{
    Fixture f;
    QCOMPARE(f.screen.objectName(), QStringLiteral("fmcsdyF"));
    QCOMPARE(f.screen.windowTitle(), QStringLiteral("参数管理"));
    auto* tabs = child<QTabWidget>(&f.screen, "PageControl1");
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral("定义k12"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("定义S3"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("定义k31"));
    const auto titles = [&](const char* grid) {
        QStringList list;
        QAbstractItemModel* model = f.grid(grid)->model();
        for (int c = 0; c < model->columnCount(); ++c)
            list << model->headerData(c, Qt::Horizontal).toString();
        return list;
    };
    QCOMPARE(titles("DBGrid1"),
             (QStringList{QStringLiteral("说明"), QStringLiteral("课程类型"), QStringLiteral("K12")}));
    QCOMPARE(titles("DBGrid2"), (QStringList{QStringLiteral("说明"), QStringLiteral("S3")}));
    QCOMPARE(f.grid("DBGrid1")->model()->index(6, 0).data().toString(), QStringLiteral("专业课"));
    QCOMPARE(f.grid("DBGrid1")->model()->index(6, 2).data().toString(), QStringLiteral("0.19"));
    QCOMPARE(f.label("Label2"), QStringLiteral("8"));
    QCOMPARE(f.label("Label4"), QStringLiteral("6"));
    QCOMPARE(f.edit("Edit1")->text(), QStringLiteral("0"));
    QCOMPARE(f.edit("Edit2")->text(), QStringLiteral("0"));
    QCOMPARE(f.edit("Edit3")->text(), QStringLiteral("0.5"));
    QCOMPARE(f.label("Label6"), QStringLiteral("课程实习、设计系数原始值：0.5"));
    QCOMPARE(f.statements.filter(QStringLiteral("fenlie=10")),
             QStringList{QStringLiteral("select fenlie,k11 from sysparameter where fenlie=10")});

    // "返回" closes; the lists stay open and are not read again at the next showing.
    f.press("BitBtn2");
    QVERIFY(!f.screen.isVisible());
    f.statements.clear();
    f.open();
    QVERIFY(f.statements.filter(QStringLiteral("from sysparameter where fenlie=0")).isEmpty());
    QCOMPARE(f.statements.size(), 1);
}

void TestParameterScreen::k12_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QList<Shown>>("boxes");
    QTest::addColumn<QString>("stored"); // 公共基础课 本专生 afterwards (0.15 before)
    const Shown ask = question(QStringLiteral("你确信修改k12的数据吗？"));
    QTest::newRow("0.19 accepted") << "0.19" << true << QList<Shown>{ask} << "0.19";
    QTest::newRow("0 accepted") << "0" << true << QList<Shown>{ask} << "0";
    QTest::newRow("cancelled") << "0.1" << false << QList<Shown>{ask} << "0.15";
    QTest::newRow("0.2 out of range") << "0.2" << true << QList<Shown>{error(OutOfRange)} << "0.15";
    QTest::newRow("-0.01 out of range") << "-0.01" << true << QList<Shown>{error(OutOfRange)} << "0.15";
    QTest::newRow("not a number") << "0.1x" << true << QList<Shown>{error(NotANumber)} << "0.15";
    QTest::newRow("a statement") << "0.1 where 1=1" << true << QList<Shown>{error(NotANumber)} << "0.15";
    QTest::newRow("empty") << "" << true << QList<Shown>{error(NotANumber)} << "0.15";
}

void TestParameterScreen::k12()
{
    QFETCH(QString, typed);
    QFETCH(bool, confirm);
    QFETCH(QList<Shown>, boxes);
    QFETCH(QString, stored);
    Fixture f;
    f.click("DBGrid1", 0);
    QCOMPARE(f.edit("Edit1")->text(), QStringLiteral("0.15"));
    QCOMPARE(f.screen.k12Shuoming(), QStringLiteral("公共基础课"));
    QCOMPARE(f.screen.k12Yan(), QStringLiteral("本专生"));
    f.edit("Edit1")->setText(typed);
    f.grid("DBGrid1")->setFocus();
    MessageBox::setNextAnswer(confirm ? MessageBox::AnswerOk : MessageBox::AnswerCancel);
    f.press("BitBtn1");

    QCOMPARE(shownBoxes(), boxes);
    QCOMPARE(f.k12(QStringLiteral("公共基础课"), QStringLiteral("本专生")), stored);
    // The same description of the other student group keeps its value.
    QCOMPARE(f.k12(QStringLiteral("公共基础课"), QStringLiteral("研究生")), QStringLiteral("0.15"));
    const bool written = stored != u"0.15";
    QCOMPARE(f.updates(), written ? QStringList{QStringLiteral("update sysparameter set k12 =%1\n"
                                                               "where  shuoming='公共基础课' and yan='本专生'")
                                                    .arg(typed)}
                                  : QStringList());
    if (written)
        QCOMPARE(f.grid("DBGrid1")->model()->index(0, 2).data().toString(), stored);
    if (boxes.value(0) == error(NotANumber))
        QVERIFY(f.edit("Edit1")->hasFocus());
}

void TestParameterScreen::k12ChangesEveryRowOfDescriptionAndGroup()
{
    Fixture f;
    // A second category's row with the same description and student group.
    f.store.db().execute(QStringLiteral("insert into sysparameter (fenlie,sunxu,shuoming,yan,k12) "
                                        "values (1,9,'专业课','本专生',0.11)"));
    f.click("DBGrid1", 2);
    f.edit("Edit1")->setText(QStringLiteral("0.05"));
    f.press("BitBtn1");
    QCOMPARE(f.store.scalar(QStringLiteral("select group_concat(k12) from (select k12 from sysparameter "
                                           "where shuoming='专业课' and yan='本专生' order by fenlie)")),
             QStringLiteral("0.05,0.05"));
    QCOMPARE(f.k12(QStringLiteral("专业课"), QStringLiteral("研究生")), QStringLiteral("0.19"));
}

void TestParameterScreen::s3_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QList<Shown>>("boxes");
    QTest::addColumn<QString>("stored"); // 生产实习 afterwards (30 before)
    const Shown ask = question(QStringLiteral("你确信修改S3的数据吗？"));
    QTest::newRow("35 accepted") << "35" << true << QList<Shown>{ask} << "35";
    QTest::newRow("kept as typed") << "35.50" << true << QList<Shown>{ask} << "35.50";
    QTest::newRow("cancelled") << "35" << false << QList<Shown>{ask} << "30";
    // Anything but a plain number would run as part of the calculation's statements.
    QTest::newRow("a statement") << "30 where 1=1" << true << QList<Shown>{error(NotANumber)} << "30";
    QTest::newRow("a quote") << "30');drop table gzl;--" << true << QList<Shown>{error(NotANumber)} << "30";
    QTest::newRow("a column") << "r3" << true << QList<Shown>{error(NotANumber)} << "30";
    QTest::newRow("negative") << "-5" << true << QList<Shown>{error(NotANumber)} << "30";
    QTest::newRow("empty") << "" << true << QList<Shown>{error(NotANumber)} << "30";
    // Plain digits, yet beyond every double: the calculation would compute with an infinite value.
    QTest::newRow("beyond every number") << QString(u'1') + QString(400, u'0') << true
                                         << QList<Shown>{error(NotANumber)} << "30";
    QTest::newRow("in exponent form") << "1e309" << true << QList<Shown>{error(NotANumber)} << "30";
}

void TestParameterScreen::s3()
{
    QFETCH(QString, typed);
    QFETCH(bool, confirm);
    QFETCH(QList<Shown>, boxes);
    QFETCH(QString, stored);
    Fixture f;
    child<QTabWidget>(&f.screen, "PageControl1")->setCurrentIndex(1);
    f.click("DBGrid2", 1);
    QCOMPARE(f.edit("Edit2")->text(), QStringLiteral("30"));
    QCOMPARE(f.screen.s3Shuoming(), QStringLiteral("生产实习"));
    f.edit("Edit2")->setText(typed);
    f.grid("DBGrid2")->setFocus();
    MessageBox::setNextAnswer(confirm ? MessageBox::AnswerOk : MessageBox::AnswerCancel);
    f.press("BitBtn3");

    QCOMPARE(shownBoxes(), boxes);
    QCOMPARE(f.k11(9, QStringLiteral("生产实习")), stored);
    QCOMPARE(f.k11(9, QStringLiteral("教学实习")), QStringLiteral("30"));
    const bool written = stored != u"30";
    QCOMPARE(f.updates(), written ? QStringList{QStringLiteral("update sysparameter set k11 ='%1'\n"
                                                               "where fenlie=9 and shuoming='生产实习'")
                                                    .arg(typed)}
                                  : QStringList());
    if (boxes.value(0) == error(NotANumber))
        QVERIFY(f.edit("Edit2")->hasFocus());
    // The grid stands on the row it stood on, showing the new value.
    QCOMPARE(f.store.data().dts3->currentRow(), 1);
    QCOMPARE(f.grid("DBGrid2")->model()->index(1, 1).data().toString(), stored);
}

void TestParameterScreen::k31_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QList<Shown>>("boxes");
    QTest::addColumn<QString>("stored"); // "0.5" before
    const Shown ask = question(QStringLiteral("你确信修改K31的数据吗？"));
    QTest::newRow("1 accepted") << "1" << true << QList<Shown>{ask} << "1";
    QTest::newRow("0 accepted") << "0" << true << QList<Shown>{ask} << "0";
    QTest::newRow("kept as typed") << "0.60" << true << QList<Shown>{ask} << "0.60";
    QTest::newRow("cancelled") << "0.6" << false << QList<Shown>{ask} << "0.5";
    QTest::newRow("1.01 out of range") << "1.01" << true << QList<Shown>{error(OutOfRange)} << "0.5";
    QTest::newRow("not a number") << "x" << true << QList<Shown>{error(NotANumber)} << "0.5";
}

void TestParameterScreen::k31()
{
    QFETCH(QString, typed);
    QFETCH(bool, confirm);
    QFETCH(QList<Shown>, boxes);
    QFETCH(QString, stored);
    Fixture f;
    child<QTabWidget>(&f.screen, "PageControl1")->setCurrentIndex(2);
    f.edit("Edit3")->setText(typed);
    child<QPushButton>(&f.screen, "BitBtn5")->setFocus();
    MessageBox::setNextAnswer(confirm ? MessageBox::AnswerOk : MessageBox::AnswerCancel);
    f.press("BitBtn5");

    QCOMPARE(shownBoxes(), boxes);
    QCOMPARE(f.k11(10), stored);
    if (boxes.value(0) == error(NotANumber))
        QVERIFY(f.edit("Edit3")->hasFocus());
    // The value found at opening stays on the label until the screen is shown again.
    QCOMPARE(f.label("Label6"), QStringLiteral("课程实习、设计系数原始值：0.5"));
    f.screen.hide();
    f.open();
    QCOMPARE(f.label("Label6"), QStringLiteral("课程实习、设计系数原始值：") + stored);
    QCOMPARE(f.edit("Edit3")->text(), stored);
}

void TestParameterScreen::noRowChosen()
{
    Fixture f;
    const QString before = f.store.scalar(QStringLiteral("select group_concat(k12) || '/' || (select group_concat(k11) "
                                                         "from sysparameter where fenlie=9) from sysparameter"));
    f.edit("Edit1")->setText(QStringLiteral("0.1"));
    f.press("BitBtn1");
    f.edit("Edit2")->setText(QStringLiteral("25"));
    f.press("BitBtn3");
    // Both confirmations, no other message; the updates match no row.
    QCOMPARE(shownBoxes(), (QList<Shown>{question(QStringLiteral("你确信修改k12的数据吗？")),
                                         question(QStringLiteral("你确信修改S3的数据吗？"))}));
    QCOMPARE(f.updates(),
             (QStringList{QStringLiteral("update sysparameter set k12 =0.1\nwhere  shuoming='' and yan=''"),
                          QStringLiteral("update sysparameter set k11 ='25'\nwhere fenlie=9 and shuoming=''")}));
    QCOMPARE(f.store.scalar(QStringLiteral("select group_concat(k12) || '/' || (select group_concat(k11) "
                                           "from sysparameter where fenlie=9) from sysparameter")),
             before);
}

void TestParameterScreen::keyboardMovesKeepTheKey()
{
    Fixture f;
    QTableView* grid = f.grid("DBGrid1");
    f.click("DBGrid1", 4); // 实验课 0.1
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(f.store.data().dtk12->currentRow(), 6);
    QCOMPARE(f.edit("Edit1")->text(), QStringLiteral("0.1"));
    QCOMPARE(f.screen.k12Shuoming(), QStringLiteral("实验课"));
    f.edit("Edit1")->setText(QStringLiteral("0.12"));
    f.press("BitBtn1");
    QCOMPARE(f.k12(QStringLiteral("实验课"), QStringLiteral("本专生")), QStringLiteral("0.12"));
    QCOMPARE(f.k12(QStringLiteral("专业课"), QStringLiteral("研究生")), QStringLiteral("0.19"));
    // The list was read again and the grid is back on the row it stood on.
    QCOMPARE(f.store.data().dtk12->currentRow(), 6);
    QCOMPARE(grid->currentIndex().row(), 6);

    // The key outlives the showing: after closing and opening again it still names 实验课.
    f.press("BitBtn2");
    f.open();
    QCOMPARE(f.screen.k12Shuoming(), QStringLiteral("实验课"));
    f.edit("Edit1")->setText(QStringLiteral("0.13"));
    f.press("BitBtn1");
    QCOMPARE(f.k12(QStringLiteral("实验课"), QStringLiteral("本专生")), QStringLiteral("0.13"));
}

void TestParameterScreen::doubleClickFocusesTheInput()
{
    Fixture f;
    f.doubleClick("DBGrid1", 6);
    QCOMPARE(f.edit("Edit1")->text(), QStringLiteral("0.19"));
    QCOMPARE(f.screen.k12Yan(), QStringLiteral("研究生"));
    QVERIFY(f.edit("Edit1")->hasFocus());

    child<QTabWidget>(&f.screen, "PageControl1")->setCurrentIndex(1);
    f.click("DBGrid2", 3);
    QVERIFY(!f.edit("Edit2")->hasFocus());
    QCOMPARE(f.edit("Edit2")->text(), QStringLiteral("40"));
    f.doubleClick("DBGrid2", 4);
    QCOMPARE(f.edit("Edit2")->text(), QStringLiteral("20"));
    QCOMPARE(f.screen.s3Shuoming(), QStringLiteral("课程设计"));
    QVERIFY(f.edit("Edit2")->hasFocus());
}

void TestParameterScreen::storeRefusal()
{
    Fixture f;
    f.store.db().execute(QStringLiteral("create trigger refuse before update on sysparameter "
                                        "begin select raise(abort, 'refused'); end"));
    f.click("DBGrid1", 0);
    f.edit("Edit1")->setText(QStringLiteral("0.1"));
    f.grid("DBGrid1")->setFocus();
    f.press("BitBtn1");
    QCOMPARE(shownBoxes(), (QList<Shown>{question(QStringLiteral("你确信修改k12的数据吗？")), error(NotANumber)}));
    QVERIFY(f.edit("Edit1")->hasFocus());
    QCOMPARE(f.k12(QStringLiteral("公共基础课"), QStringLiteral("本专生")), QStringLiteral("0.15"));
}

QTEST_MAIN(TestParameterScreen)
#include "tst_parameter_screen.moc"
