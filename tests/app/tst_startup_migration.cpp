#include "OldInstallationFixture.h"
#include "app/Application.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "mainwindow/MainWindow.h"
#include "shell/LoginDialog.h"
#include "store/Database.h"
#include "support/TestStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A data directory that is the current directory for the test's duration.
class DataDir
{
public:
    DataDir() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~DataDir() { QDir::setCurrent(m_previous); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// What the data directory holds besides the program's lock: nothing after a refused migration.
QStringList leftIn(const QString& dir)
{
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.removeAll(QStringLiteral("workload.lock"));
    return names;
}

} // namespace

class TestStartupMigration : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    TestStore m_hand;
    std::unique_ptr<OldInstallationFixture> m_old;

    QString writeOld(QTemporaryDir& dir, const std::function<void(OldInstallationFixture&)>& change = {})
    {
        OldInstallationFixture old = *m_old;
        if (change)
            change(old);
        old.write(dir.path());
        return dir.path();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        for (const char* s : {"insert into yuanbu (mc) values ('理学院')",
                              "insert into bmdm (bmdm,bmmc,ybmc) values ('B01','数学教研室','理学院')",
                              "insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) values "
                              "('T01','张三','B01','中级','专职','无重点岗位')",
                              "insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,nd,fl) values "
                              "(1,'张三','理学院','数学教研室','2026-2027学年','理论实验')"})
            m_hand.db().execute(QString::fromUtf8(s));
        m_old = std::make_unique<OldInstallationFixture>(
            m_hand.db(),
            QHash<QString, QString>{{QStringLiteral("001"), QStringLiteral("old")}, {QStringLiteral("002"), {}}});
    }

    void init()
    {
        MessageBox::setScripted(true);
        FileDialog::setScripted(true);
    }

    // The start-up question's third button: a directory chooser, the migration, the result box,
    // and the login with the old installation's operator and password.
    void migratesFromTheStartQuestion()
    {
        QTemporaryDir oldDir;
        writeOld(oldDir);
        DataDir dir;
        Application program(dir.path());
        program.createScreens();
        MessageBox::setNextAnswer(MessageBox::AnswerOther);
        FileDialog::setNextPath(oldDir.path());
        QVERIFY(program.start());

        QCOMPARE(MessageBox::shown().size(), std::size_t(2));
        const MessageBox::Shown& question = MessageBox::shown()[0];
        QCOMPARE(question.buttons, MessageBox::OkOtherCancel);
        QCOMPARE(question.other, QStringLiteral("迁移原系统数据…"));
        QVERIFY(FileDialog::asked().back().directory);
        const MessageBox::Shown& result = MessageBox::shown()[1];
        QCOMPARE(result.icon, MessageBox::Information);
        for (const char* line : {"gzl: 1 row", "rydm: 1 row", "yuanbu: 1 row", "user1: 2 rows", "计算"})
            QVERIFY2(result.text.contains(QString::fromUtf8(line)), qPrintable(result.text));

        QVERIFY(Database::exists(dir.path()));
        QVERIFY(program.loginDialog()->isVisible());
        program.loginDialog()->findChild<QLineEdit*>(QStringLiteral("Password"))->setText(QStringLiteral("old"));
        program.loginDialog()->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        QVERIFY(program.mainWindow()->isVisible());
        program.mainWindow()->close();
    }

    // A migration that cannot be done says why and leaves no store: the question comes again.
    // Conflicts are offered to be mended; declined, nothing is written.
    void refusedLeavesNoStore_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("said");
        QTest::newRow("damaged table") << 0 << QStringLiteral("GZL.DB");
        QTest::newRow("conflict, mending declined") << 1 << QStringLiteral("rydm 第 2 行: 教师代码 T01 与第 1 行重复");
    }
    void refusedLeavesNoStore()
    {
        QFETCH(int, fault);
        QFETCH(QString, said);
        QTemporaryDir oldDir;
        writeOld(oldDir, [&](OldInstallationFixture& old) {
            if (fault == 1)
                old.rows[QStringLiteral("rydm")] << old.rows[QStringLiteral("rydm")][0];
            if (fault == 1)
                old.rows[QStringLiteral("rydm")][1][1] = QStringLiteral("李四");
        });
        if (fault == 0) {
            QFile gzl(QDir(oldDir.path()).filePath(QStringLiteral("GZL.DB")));
            QVERIFY(gzl.resize(gzl.size() - 10));
        }
        DataDir dir;
        Application program(dir.path());
        program.createScreens();
        MessageBox::setNextAnswer(MessageBox::AnswerOther);
        FileDialog::setNextPath(oldDir.path());
        if (fault == 1)
            MessageBox::setNextAnswer(MessageBox::AnswerCancel); // do not mend
        else
            MessageBox::setNextAnswer(MessageBox::AnswerOk); // the error box
        MessageBox::setNextAnswer(MessageBox::AnswerCancel); // the question again: end
        QVERIFY(!program.start());

        QCOMPARE(MessageBox::shown().size(), std::size_t(3));
        QVERIFY2(MessageBox::shown()[1].text.contains(said), qPrintable(MessageBox::shown()[1].text));
        QCOMPARE(MessageBox::shown()[2].buttons, MessageBox::OkOtherCancel);
        QCOMPARE(leftIn(dir.path()), QStringList());
    }

    // Mending accepted: the conflicts are mended by the rules and the store made.
    void conflictsMendedWhenAccepted()
    {
        QTemporaryDir oldDir;
        writeOld(oldDir, [](OldInstallationFixture& old) {
            old.rows[QStringLiteral("yuanbu")] << old.rows[QStringLiteral("yuanbu")][0];
        });
        DataDir dir;
        Application program(dir.path());
        program.createScreens();
        MessageBox::setNextAnswer(MessageBox::AnswerOther);
        FileDialog::setNextPath(oldDir.path());
        MessageBox::setNextAnswer(MessageBox::AnswerOk);
        QVERIFY(program.start());
        QVERIFY2(MessageBox::shown().back().text.contains(
                     u"yuanbu 第 2 行: 院部 理学院 与第 1 行重复，整行相同，合并为一行"),
                 qPrintable(MessageBox::shown().back().text));
        auto db = Database::open(dir.path());
        QCOMPARE(db->select(QStringLiteral("select mc from yuanbu")).rows.size(), std::size_t(1));
    }
};

QTEST_MAIN(TestStartupMigration)
#include "tst_startup_migration.moc"
