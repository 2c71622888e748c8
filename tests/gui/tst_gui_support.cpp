#include "gui/ErrorDisplay.h"
#include "gui/FileDialog.h"
#include "gui/GridBinding.h"
#include "gui/MessageBox.h"
#include "gui/WindowKeeper.h"
#include "store/Sql.h"
#include "support/TestStore.h"

#include <QApplication>
#include <QTableView>
#include <QTest>

class TestGuiSupport : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        MessageBox::setScripted(true);
        FileDialog::setScripted(true);
    }

    void scriptedMessageBoxes()
    {
        MessageBox::setNextAnswer(MessageBox::AnswerCancel);
        QVERIFY(!MessageBox::question(nullptr, QStringLiteral("你确信要删除选择数据吗？")));
        QVERIFY(MessageBox::question(nullptr, QStringLiteral("再问一次"))); // queue empty: OK
        QCOMPARE(MessageBox::shown().size(), size_t(2));
        const MessageBox::Shown& first = MessageBox::shown().front();
        QCOMPARE(first.caption, QStringLiteral("提示信息"));
        QCOMPARE(first.text, QStringLiteral("你确信要删除选择数据吗？"));
        QCOMPARE(first.icon, MessageBox::Question);
        QCOMPARE(first.buttons, MessageBox::OkCancel);
    }

    void uncaughtStoreErrorsShowTheStoreText()
    {
        TestStore store;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool ok =
            ErrorDisplay::guard(nullptr, [&] { store.db().execute(QStringLiteral("select * from nosuch")); });
        QVERIFY(!ok);
        QCOMPARE(MessageBox::shown().size(), size_t(1));
        QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("错误"));
        QCOMPARE(MessageBox::shown().front().icon, MessageBox::Error);
        QVERIFY(MessageBox::shown().front().text.contains(u"no such table: nosuch"));
        QVERIFY(!QApplication::overrideCursor()); // the hourglass does not outlive the command
        QVERIFY(ErrorDisplay::guard(nullptr, [] {}));
    }

    void scriptedChoosers()
    {
        FileDialog::setNextPath(QStringLiteral("/tmp/bt.dbt"));
        QCOMPARE(FileDialog::openFile(nullptr, QStringLiteral("打开"), QStringLiteral("/tmp"),
                                      QStringLiteral("系统导出文件 (*.dbf *.dbt)")),
                 QStringLiteral("/tmp/bt.dbt"));
        QCOMPARE(FileDialog::directory(nullptr, QStringLiteral("选择目录"), QStringLiteral("/home")), QString());
        QCOMPARE(FileDialog::asked().size(), size_t(2));
        QCOMPARE(FileDialog::asked().back().startDir, QStringLiteral("/home"));
        QVERIFY(FileDialog::asked().back().directory);
    }

    // A window opens centred on the window it belongs to (on the free area without one), moved
    // inside the screen's free area and no larger than it.
    void windowPlacement_data()
    {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QRect>("over");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("placed");
        const QRect screen(0, 0, 1366, 768);
        QTest::newRow("centred on its owner")
            << QSize(200, 100) << QRect(100, 100, 400, 300) << screen << QRect(200, 200, 200, 100);
        QTest::newRow("owner at the right edge: moved in")
            << QSize(300, 200) << QRect(1266, 100, 100, 200) << screen << QRect(1066, 100, 300, 200);
        QTest::newRow("owner partly above the screen: moved down")
            << QSize(300, 200) << QRect(0, -300, 400, 400) << screen << QRect(50, 0, 300, 200);
        QTest::newRow("no owner: centred on the free area")
            << QSize(400, 300) << QRect() << QRect(0, 30, 1366, 738) << QRect(483, 249, 400, 300);
        QTest::newRow("taller than the free area: as tall as it")
            << QSize(900, 1000) << screen << screen << QRect(233, 0, 900, 768);
        QTest::newRow("wider than a free area beside a panel")
            << QSize(2000, 500) << QRect(64, 0, 1302, 768) << QRect(64, 0, 1302, 768) << QRect(64, 134, 1302, 500);
    }
    void windowPlacement()
    {
        QFETCH(QSize, frame);
        QFETCH(QRect, over);
        QFETCH(QRect, available);
        QFETCH(QRect, placed);
        QCOMPARE(WindowKeeper::placement(frame, over, available), placed);
    }

    void gridRowIsTheCurrentRow()
    {
        TestStore store;
        for (int i = 1; i <= 3; ++i)
            store.db().execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('%1',%2,'S')")
                                   .arg(i)
                                   .arg(Sql::quote(QStringLiteral("教师%1").arg(i))));
        QTableView view;
        GridBinding::bind(&view, store.data().dbrydm);
        Query* q = store.data().dtrydm;
        q->setStatement({QStringLiteral("select * from rydm order by rydm")});
        q->open();
        QCOMPARE(view.model()->rowCount(), 3);
        QCOMPARE(view.currentIndex().row(), 0);

        view.selectRow(2);
        QCOMPARE(q->fieldByName(QStringLiteral("rymc")).asString(), QStringLiteral("教师3"));
        q->prior();
        QCOMPARE(view.currentIndex().row(), 1);
        q->close();
        q->open();
        QCOMPARE(view.currentIndex().row(), 0);
    }
};

QTEST_MAIN(TestGuiSupport)
#include "tst_gui_support.moc"
