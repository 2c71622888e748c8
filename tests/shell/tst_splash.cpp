#include "shell/SplashScreen.h"

#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTest>

class TestSplash : public QObject
{
    Q_OBJECT
private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("text");
        QTest::newRow("caption") << "Caption"
                                 << "澜大工作量计算系统";
        QTest::newRow("loading") << "Loading"
                                 << "程序装载中......";
    }
    void texts()
    {
        QFETCH(QString, objectName);
        QFETCH(QString, text);
        SplashScreen splash;
        const auto* label = splash.findChild<QLabel*>(objectName);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
    }

    // Picture, caption, line, loading text, from top to bottom.
    void contentFromTopToBottom()
    {
        SplashScreen splash;
        splash.showAndPaint();
        const auto* picture = splash.findChild<QLabel*>(QStringLiteral("Picture"));
        const auto* caption = splash.findChild<QLabel*>(QStringLiteral("Caption"));
        const auto* line = splash.findChild<QFrame*>(QStringLiteral("Line"));
        const auto* loading = splash.findChild<QLabel*>(QStringLiteral("Loading"));
        QVERIFY(picture && caption && line && loading);
        QVERIFY(!picture->pixmap().isNull());
        QCOMPARE(line->frameShape(), QFrame::HLine);
        QVERIFY(picture->geometry().bottom() < caption->geometry().top());
        QVERIFY(caption->geometry().bottom() < line->geometry().top());
        QVERIFY(line->geometry().bottom() < loading->geometry().top());
    }

    void framelessAndCentredOnceShown()
    {
        SplashScreen splash;
        QCOMPARE(splash.objectName(), QStringLiteral("fmSplash"));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(splash.isWindow());
        splash.showAndPaint();
        QVERIFY(splash.isVisible());
        QCOMPARE(splash.frameGeometry(), splash.geometry());
        const QRect screen = splash.screen()->availableGeometry();
        QVERIFY(qAbs(splash.geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(splash.geometry().center().y() - screen.center().y()) <= 1);
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
