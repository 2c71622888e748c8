#include "shell/AboutBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

constexpr quint64 MiB = quint64(1) << 20;
constexpr quint64 GiB = quint64(1) << 30;

// An About box whose machine facts come from the test.
struct AboutFixture
{
    MemoryStatus memory{512 * MiB, 63};
    RegisteredUser user{QStringLiteral("张三"), QStringLiteral("澜石大学")};
    int memoryReads = 0;
    AboutBox box{nullptr,
                 [this] {
                     ++memoryReads;
                     return memory;
                 },
                 [this] { return user; }};

    QString text(const char* name) const
    {
        const auto* label = box.findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
    }
    QLabel* logo() const { return box.findChild<QLabel*>(QStringLiteral("ProgramIcon")); }
    QPushButton* ok() const { return box.findChild<QPushButton*>(QStringLiteral("OKButton")); }
};

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT
private slots:
    void fixedTexts_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("text");
        QTest::newRow("series") << "SeriesName"
                                << "晴舟系列管理软件";
        QTest::newRow("product") << "ProductName"
                                 << "澜石大学工作量计算系统";
        QTest::newRow("version") << "Version"
                                 << "版本号1.0";
        QTest::newRow("memory caption") << "PhysMemLabel"
                                        << "Windows 的可用物理内存：";
        QTest::newRow("load caption") << "MemLoadLabel"
                                      << "使用中的内存：";
        QTest::newRow("user caption") << "RegLabel"
                                      << "本产品使用权属于:";
    }
    void fixedTexts()
    {
        QFETCH(QString, objectName);
        QFETCH(QString, text);
        AboutFixture about;
        QCOMPARE(about.text(objectName.toLatin1()), text);
    }

    void window()
    {
        AboutFixture about;
        QCOMPARE(about.box.objectName(), QStringLiteral("fmAbout"));
        QCOMPARE(about.box.windowTitle(), QStringLiteral("关于晴舟管理系统"));
        const Qt::WindowFlags flags = about.box.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
        QVERIFY(about.ok()->isDefault());
        QCOMPARE(about.ok()->text(), QStringLiteral("确定"));
        QVERIFY(!about.logo()->pixmap().isNull());
        QVERIFY(!about.box.findChild<QLabel*>(QStringLiteral("Picture"))->pixmap().isNull());

        about.box.show();
        const QRect screen = about.box.screen()->availableGeometry();
        QVERIFY(qAbs(about.box.frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(about.box.frameGeometry().center().y() - screen.center().y()) <= 1);
    }

    void machineFigures_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<int>("load");
        QTest::addColumn<QString>("memoryText");
        QTest::addColumn<QString>("loadText");
        QTest::newRow("512 MB") << 512 * MiB << 63 << "524,288 KB"
                                << "63 %";
        QTest::newRow("16 GiB") << 16 * GiB << 7 << "16,777,216 KB"
                                << "7 %";
        QTest::newRow("below one thousand KB") << 999 * quint64(1024) << 100 << "999 KB"
                                               << "100 %";
        QTest::newRow("part of a KB is dropped") << quint64(1024 * 1024 - 1) << 0 << "1,023 KB"
                                                 << "0 %";
        QTest::newRow("unknown") << quint64(0) << 0 << "0 KB"
                                 << "0 %";
    }
    void machineFigures()
    {
        QFETCH(quint64, bytes);
        QFETCH(int, load);
        QFETCH(QString, memoryText);
        QFETCH(QString, loadText);
        AboutFixture about;
        about.memory = {bytes, load};
        about.box.show();
        QCOMPARE(about.text("PhysMem"), memoryText);
        QCOMPARE(about.text("MemLoad"), loadText);
        QCOMPARE(about.text("RegName"), QStringLiteral("张三"));
        QCOMPARE(about.text("RegCompany"), QStringLiteral("澜石大学"));
    }

    void figuresAreReadEachTimeTheBoxIsShown()
    {
        AboutFixture about;
        QCOMPARE(about.memoryReads, 0);
        about.box.show();
        QCOMPARE(about.text("MemLoad"), QStringLiteral("63 %"));
        about.box.close();
        about.memory = {16 * GiB, 12};
        about.user = {};
        about.box.show();
        QCOMPARE(about.memoryReads, 2);
        QCOMPARE(about.text("PhysMem"), QStringLiteral("16,777,216 KB"));
        QCOMPARE(about.text("MemLoad"), QStringLiteral("12 %"));
        QCOMPARE(about.text("RegName"), QString());
        QCOMPARE(about.text("RegCompany"), QString());
    }

    void creditAppearsOnDoubleClickUntilClosed_data()
    {
        QTest::addColumn<QString>("closeBy");
        QTest::newRow("确定") << "ok";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close box") << "close";
    }
    void creditAppearsOnDoubleClickUntilClosed()
    {
        QFETCH(QString, closeBy);
        AboutFixture about;
        about.box.show();
        QCOMPARE(about.text("Credit"), QString());
        QTest::mouseClick(about.logo(), Qt::LeftButton);
        QCOMPARE(about.text("Credit"), QString());
        QTest::mouseDClick(about.logo(), Qt::LeftButton);
        QCOMPARE(about.text("Credit"), AboutBox::AuthorCredit);

        if (closeBy == QLatin1String("ok"))
            QTest::mouseClick(about.ok(), Qt::LeftButton);
        else if (closeBy == QLatin1String("esc"))
            QTest::keyClick(&about.box, Qt::Key_Escape);
        else
            about.box.close();
        QVERIFY(!about.box.isVisible());

        about.box.show();
        QCOMPARE(about.text("Credit"), QString());
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_about_box.moc"
