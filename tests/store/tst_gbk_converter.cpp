#include "support/TestStore.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

// Without the system's GBK converter the store cannot count widths or order names: a command
// says so instead of taking every Chinese text as one without a GBK form.
class TestGbkConverter : public QObject
{
    Q_OBJECT
private slots:
    void aMissingConverterIsNamed()
    {
        TestStore store;
        QProcess ctl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAILING_ICONV));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
        ctl.setProcessEnvironment(env);
        ctl.start(QStringLiteral(WORKLOADCTL), {QStringLiteral("--dir"), store.dir(), QStringLiteral("sql"),
                                                QStringLiteral("select count(*) from gzl")});
        QVERIFY(ctl.waitForFinished(60000));
        const QString err = QString::fromUtf8(ctl.readAllStandardError());
        QCOMPARE(ctl.exitCode(), 1);
        QVERIFY2(err.contains(QStringLiteral("GBK 编码转换")), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestGbkConverter)
#include "tst_gbk_converter.moc"
