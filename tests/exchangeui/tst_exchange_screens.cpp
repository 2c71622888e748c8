#include "ExchangeFixtures.h"
#include "exchange/DbaseFile.h"
#include "exchange/ParadoxFile.h"
#include "exchangeui/ExportScreen.h"
#include "exchangeui/ImportScreen.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "session/Selection.h"
#include "session/Session.h"
#include "store/SqliteDatabase.h"
#include "support/TestStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <sqlite3.h>

namespace {

const QString Year = QStringLiteral("2026-2027学年");

template <typename T> T* child(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no widget %s", name);
    return c;
}

// The values a progress bar passes through while a command runs.
struct ProgressLog
{
    explicit ProgressLog(QProgressBar* bar)
    {
        QObject::connect(bar, &QProgressBar::valueChanged, bar, [this](int v) { values << v; });
    }
    QList<int> values;
};

void addRow(TestStore& s, int xh, const QString& teacher)
{
    s.db().execute(QStringLiteral("insert into gzl (xh,jiaoshi,jiaoyanshi,yuanbu,nd,fl,q11) values (%1,'%2',"
                                  "'数学教研室','理学院','%3','理论实验',2.5)")
                       .arg(xh)
                       .arg(teacher, Year));
}

} // namespace

class TestExchangeScreens : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The destination defaults to the home directory: keep it inside the test, and the
        // operator's settings (the exchange folder) too.
        QVERIFY(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        for (const char* folder : {"data/out", "media/disk", "typed"})
            QVERIFY(QDir(m_home.path()).mkpath(QString::fromLatin1(folder)));
    }

    void init()
    {
        MessageBox::setScripted(true);
        MessageBox::clearShown();
        FileDialog::setScripted(true);
        // No folder used yet.
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("workload"), QStringLiteral("workload"))
            .clear();
    }

    void exportScreenOnShowing()
    {
        TestStore s;
        Session session;
        session.select(Selection::teacher(Year, QStringLiteral("张三"), QStringLiteral("数学")));
        ExportScreen screen(s.data(), session);
        screen.show();
        QCOMPARE(screen.windowTitle(),
                 QStringLiteral("备份：nd like '%2026-2027学年%' and jiaoshi='张三' and jiaoyanshi='数学'的工作量"));
        const QString home = QDir::homePath() + QStringLiteral("/bt");
        QCOMPARE(child<QRadioButton>(&screen, "RadioButton3")->text(), home);
        QVERIFY(child<QRadioButton>(&screen, "RadioButton3")->isChecked());
        QCOMPARE(child<QLineEdit>(&screen, "Edit1")->text(), home);
        QVERIFY(!child<QLineEdit>(&screen, "Edit1")->isEnabled());
        QVERIFY(!child<QToolButton>(&screen, "SpeedButton1")->isEnabled());
        QVERIFY(child<QRadioButton>(&screen, "RadioButton1")->isChecked());
        QCOMPARE(child<QProgressBar>(&screen, "ProgressBar1")->value(), 0);

        // Changed choices: the format returns to ".dbt" on the next showing, the destination choice stays.
        child<QRadioButton>(&screen, "RadioButton2")->click();
        child<QRadioButton>(&screen, "RadioButton4")->click();
        QCOMPARE(screen.format(), WorkloadExport::Format::Dbase);
        QVERIFY(child<QLineEdit>(&screen, "Edit1")->isEnabled());
        child<QLineEdit>(&screen, "Edit1")->setText(QStringLiteral("/elsewhere/x"));
        screen.hide();
        screen.show();
        QVERIFY(child<QRadioButton>(&screen, "RadioButton1")->isChecked());
        QCOMPARE(screen.format(), WorkloadExport::Format::Paradox);
        QVERIFY(child<QRadioButton>(&screen, "RadioButton4")->isChecked());
        QVERIFY(child<QLineEdit>(&screen, "Edit1")->isEnabled());
        QCOMPARE(child<QLineEdit>(&screen, "Edit1")->text(), home);
    }

    void directoryChooser_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("path");
        QTest::newRow("root") << "/"
                              << "/bt";
        QTest::newRow("directory") << "~/data/out"
                                   << "~/data/out/bt";
        QTest::newRow("cancelled") << ""
                                   << "";
    }

    void directoryChooser()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, path);
        chosen.replace(u'~', QDir::homePath());
        path.replace(u'~', QDir::homePath());
        TestStore s;
        Session session;
        ExportScreen screen(s.data(), session);
        screen.show();
        child<QRadioButton>(&screen, "RadioButton4")->click();
        FileDialog::setNextPath(chosen);
        child<QToolButton>(&screen, "SpeedButton1")->click();
        QCOMPARE(FileDialog::asked().back().startDir, QDir::homePath());
        QVERIFY(FileDialog::asked().back().directory);
        QCOMPARE(child<QLineEdit>(&screen, "Edit1")->text(), path.isEmpty() ? QDir::homePath() + "/bt" : path);
        if (!chosen.isEmpty()) { // the chooser starts next time where it was left
            child<QToolButton>(&screen, "SpeedButton1")->click();
            QCOMPARE(FileDialog::asked().back().startDir, chosen);
        }
    }

    void exportWritesTheFile_data()
    {
        QTest::addColumn<bool>("dbf");
        QTest::addColumn<bool>("ownDirectory");
        QTest::newRow("dbt to home") << false << false;
        QTest::newRow("dbf to a typed path") << true << true;
    }

    // One row: progress 5, 7, 95, 100; the file replaces an older one; the screen closes.
    void exportWritesTheFile()
    {
        QFETCH(bool, dbf);
        QFETCH(bool, ownDirectory);
        TestStore s;
        addRow(s, 1, QStringLiteral("张三"));
        Session session;
        session.select(Selection::year(Year));
        QTemporaryDir out;
        const QString base = ownDirectory ? out.filePath(QStringLiteral("x")) : QDir::homePath() + "/bt";
        const QString file = base + (dbf ? ".dbf" : ".dbt");
        {
            QFile old(file);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("an older file");
        }

        ExportScreen screen(s.data(), session);
        screen.show();
        if (dbf)
            child<QRadioButton>(&screen, "RadioButton2")->click();
        if (ownDirectory) {
            child<QRadioButton>(&screen, "RadioButton4")->click();
            child<QLineEdit>(&screen, "Edit1")->setText(base);
        }
        ProgressLog progress(child<QProgressBar>(&screen, "ProgressBar1"));
        child<QPushButton>(&screen, "BitBtn1")->click();

        QCOMPARE(progress.values, (QList<int>{5, 7, 95, 100}));
        QCOMPARE(MessageBox::shown().size(), std::size_t(1));
        QCOMPARE(MessageBox::shown().back().caption, QStringLiteral("提示信息"));
        QCOMPARE(MessageBox::shown().back().text,
                 QStringLiteral("复制数据文件已经成功建立，请将数据文件转交相关人员!"));
        QCOMPARE(child<QLabel>(&screen, "Label2")->text(), QStringLiteral("复制数据文件已经完成"));
        QVERIFY(!screen.isVisible());
        QVERIFY(!child<QProgressBar>(&screen, "Animate1")->isVisible());
        const ExchangeTable t = dbf ? DbaseFile::read(file) : ParadoxFile::read(file);
        QCOMPARE(t.rows.size(), std::size_t(1));
        QCOMPARE(t.rows[0][*t.indexOf(QStringLiteral("q11"))].toDouble(), 2.5);
        QFile::remove(file);
    }

    // No rows: the message, the screen ready again, the work table as it was.
    void exportWithoutRows()
    {
        TestStore s;
        s.db().execute(QStringLiteral("insert into gzl_temp (xh, jiaoshi) values (9, '旧')"));
        Session session;
        session.select(Selection::year(QStringLiteral("1999")));
        ExportScreen screen(s.data(), session);
        screen.show();
        child<QPushButton>(&screen, "BitBtn1")->click();
        QCOMPARE(MessageBox::shown().back().caption, QStringLiteral("错误"));
        QCOMPARE(MessageBox::shown().back().text, QStringLiteral("没有满足条件的数据!"));
        QCOMPARE(child<QLabel>(&screen, "Label2")->text(), QStringLiteral("正在选择目的文件目录..."));
        QVERIFY(child<QPushButton>(&screen, "BitBtn1")->isEnabled());
        QVERIFY(screen.isVisible());
        QCOMPARE(s.scalar(QStringLiteral("select group_concat(jiaoshi) from gzl_temp")), QStringLiteral("旧"));
    }

    // A destination that cannot be written: the message, progress 0, the screen stays open.
    void exportToAnUnwritablePlace()
    {
        TestStore s;
        addRow(s, 1, QStringLiteral("张三"));
        Session session;
        session.select(Selection::year(Year));
        QTemporaryDir out;
        QFile blocker(out.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ExportScreen screen(s.data(), session);
        screen.show();
        child<QRadioButton>(&screen, "RadioButton4")->click();
        child<QLineEdit>(&screen, "Edit1")->setText(out.filePath(QStringLiteral("file/bt")));
        child<QPushButton>(&screen, "BitBtn1")->click();
        QCOMPARE(MessageBox::shown().back().text, QStringLiteral("复制临时数据库文件时出现错误，请检查磁盘目录!"));
        QCOMPARE(child<QProgressBar>(&screen, "ProgressBar1")->value(), 0);
        QCOMPARE(child<QLabel>(&screen, "Label2")->text(), QStringLiteral("正在选择目的文件目录..."));
        QVERIFY(screen.isVisible());
        QCOMPARE(s.count(QStringLiteral("gzl_temp")), 1); // the work table holds the rows for another try
    }

    // A stored value that the file cannot carry is named, not blamed on the disk; nothing is written.
    void exportOfAValueTheFileCannotCarry_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("dbf");
        QTest::addColumn<QString>("said");
        QTest::newRow("infinite figure from an older store")
            << "update gzl set q12=9e999" << false
            << "第 1 条记录 (序号 1, 教师 张三, 数学教研室, 2026-2027学年) 的 q12 是 inf，不是有限数，不能导出。"
               "请修改这条记录或重新计算。";
        QTest::newRow("dBASE name ending in a blank that fills its field")
            << "update gzl set jiaoyanshi='计算机科学与技术系教研室 '" << true
            << "jiaoyanshi: \"计算机科学与技术系教研室 \" 以空格结尾，且占满了 dBASE 字段的全部 25 个字节，写入 .dbf "
               "文件会丢掉结尾的空格，不能导出。请改用 .dbt 格式，或修改这个名称。";
    }
    void exportOfAValueTheFileCannotCarry()
    {
        QFETCH(QString, change);
        QFETCH(bool, dbf);
        QFETCH(QString, said);
        TestStore s;
        addRow(s, 1, QStringLiteral("张三"));
        s.db().execute(change);
        Session session;
        session.select(Selection::year(Year));
        QTemporaryDir out;
        ExportScreen screen(s.data(), session);
        screen.show();
        if (dbf)
            child<QRadioButton>(&screen, "RadioButton2")->click();
        child<QRadioButton>(&screen, "RadioButton4")->click();
        child<QLineEdit>(&screen, "Edit1")->setText(out.filePath(QStringLiteral("bt")));
        child<QPushButton>(&screen, "BitBtn1")->click();
        QCOMPARE(MessageBox::shown().back().caption, QStringLiteral("错误"));
        QCOMPARE(MessageBox::shown().back().text, said);
        QCOMPARE(child<QProgressBar>(&screen, "ProgressBar1")->value(), 0);
        QVERIFY(screen.isVisible());
        QVERIFY(QDir(out.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void importScreenOnShowingAndChooser()
    {
        TestStore s;
        ImportScreen screen(s.data());
        screen.show();
        QCOMPARE(screen.windowTitle(), QStringLiteral("导入备份资料"));
        FileDialog::setNextPath(QStringLiteral("/media/disk/bt.dbt"));
        child<QToolButton>(&screen, "SpeedButton1")->click();
        QCOMPARE(FileDialog::asked().back().filter, QStringLiteral("系统导出文件 (*.dbf *.dbt)"));
        QCOMPARE(child<QLineEdit>(&screen, "Edit1")->text(), QStringLiteral("/media/disk/bt.dbt"));
        screen.hide();
        screen.show();
        QCOMPARE(child<QLineEdit>(&screen, "Edit1")->text(), QString());

        child<QPushButton>(&screen, "BitBtn1")->click();
        QCOMPARE(MessageBox::shown().back().caption, QStringLiteral("错误"));
        QCOMPARE(MessageBox::shown().back().text, QStringLiteral("没有输入源文件!"));
    }

    // A good file: progress 5, 10, ..., 97, 100, the message, the screen closes.
    void importMergesTheFile()
    {
        TestStore s;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.dbt"));
        std::vector<QVariantList> rows;
        for (int i = 0; i < 3; ++i)
            rows.push_back(ExchangeFixtures::row(QStringLiteral("教员%1").arg(i)));
        ParadoxFile::write(path, ExchangeFixtures::table(rows));
        ImportScreen screen(s.data());
        screen.show();
        child<QLineEdit>(&screen, "Edit1")->setText(path);
        ProgressLog progress(child<QProgressBar>(&screen, "ProgressBar1"));
        child<QPushButton>(&screen, "BitBtn1")->click();
        QCOMPARE(progress.values, (QList<int>{5, 10, 37, 67, 97, 100}));
        QCOMPARE(MessageBox::shown().back().caption, QStringLiteral("提示信息"));
        QCOMPARE(MessageBox::shown().back().text, QStringLiteral("数据文件已经成功导入，请将数据盘保存好!"));
        QCOMPARE(child<QLabel>(&screen, "Label2")->text(), QStringLiteral("接收数据文件已经完成"));
        QVERIFY(!screen.isVisible());
        QCOMPARE(s.count(QStringLiteral("gzl")), 3);
        QCOMPARE(screen.lastCounts().teachers, 3);
    }

    void importRefusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // empty: a good exchange file
        QTest::addColumn<bool>("storeLocked");
        QTest::addColumn<QString>("message");
        QTest::newRow("foreign file") << "bt.dbt" << QByteArray(5000, '\x33') << false
                                      << "你选择的文件不是本系统文件，请确认接收的文件是否正确!";
        QTest::newRow("other ending") << "bt.txt" << QByteArray("x") << false
                                      << "复制临时数据库文件时出现错误，请检查磁盘文件是否正确!";
        QTest::newRow("store locked by another program")
            << "bt.dbt" << QByteArray() << true << "数据库正被其他程序使用，请稍后再试!";
    }

    // A refused file: the message, the screen ready again, the store unchanged.
    void importRefusals()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, storeLocked);
        QFETCH(QString, message);
        TestStore s(true);
        const int rows = s.count(QStringLiteral("gzl"));
        QTemporaryDir dir;
        QFile f(dir.filePath(name));
        if (content.isEmpty()) {
            ParadoxFile::write(f.fileName(), ExchangeFixtures::table({ExchangeFixtures::row()}));
        } else {
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
            f.close();
        }
        std::unique_ptr<Database> other;
        if (storeLocked) {
            other = Database::open(s.dir());
            other->begin();
        }
        ImportScreen screen(s.data());
        screen.show();
        child<QLineEdit>(&screen, "Edit1")->setText(f.fileName());
        child<QPushButton>(&screen, "BitBtn1")->click();
        if (other)
            other->rollback();
        QCOMPARE(MessageBox::shown().back().caption, QStringLiteral("错误"));
        QCOMPARE(MessageBox::shown().back().text, message);
        QCOMPARE(child<QLabel>(&screen, "Label2")->text(), QStringLiteral("正在选择接收源文件..."));
        QCOMPARE(child<QProgressBar>(&screen, "ProgressBar1")->value(), 0);
        QVERIFY(!child<QProgressBar>(&screen, "Animate1")->isVisible());
        QVERIFY(screen.isVisible());
        QCOMPARE(s.count(QStringLiteral("gzl")), rows);
    }

    // A store error during the passes: the store's text and the roll-back said, nothing kept.
    void importStoreErrorIsRolledBack()
    {
        TestStore s;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.dbt"));
        ParadoxFile::write(path, ExchangeFixtures::table({ExchangeFixtures::row()}));
        SqliteDatabase::of(s.db()).setAuthorizer([](int action, const char* table, const char*, const char*) {
            return action == SQLITE_INSERT && qstrcmp(table, "gzl") == 0 ? SQLITE_DENY : SQLITE_OK;
        });
        ImportScreen screen(s.data());
        screen.show();
        child<QLineEdit>(&screen, "Edit1")->setText(path);
        child<QPushButton>(&screen, "BitBtn1")->click();
        SqliteDatabase::of(s.db()).setAuthorizer({});
        QCOMPARE(MessageBox::shown().back().caption, QStringLiteral("错误"));
        QVERIFY(MessageBox::shown().back().text.endsWith(WorkloadImport::RolledBack));
        QCOMPARE(child<QLabel>(&screen, "Label2")->text(), QStringLiteral("正在选择接收源文件..."));
        QCOMPARE(child<QProgressBar>(&screen, "ProgressBar1")->value(), 0);
        QCOMPARE(s.count(QStringLiteral("yuanbu")) + s.count(QStringLiteral("bmdm")) + s.count(QStringLiteral("rydm")),
                 0);
    }

    // The export's directory chooser and the import's file chooser start in the folder an exchange
    // file was last written to or taken from, by either screen, also in a later run (new screens).
    void choosersStartInTheLastFolderUsed_data()
    {
        QTest::addColumn<QString>("used");   // what the operator did before
        QTest::addColumn<QString>("folder"); // where both choosers start afterwards, under home
        QTest::newRow("nothing yet") << ""
                                     << "";
        QTest::newRow("the export's chooser") << "export chooser"
                                              << "data/out";
        QTest::newRow("the import's chooser") << "import chooser"
                                              << "media/disk";
        QTest::newRow("an export to a typed path") << "export"
                                                   << "typed";
        QTest::newRow("an import of a typed path") << "import"
                                                   << "typed";
        QTest::newRow("a folder that is gone") << "gone"
                                               << "";
    }
    void choosersStartInTheLastFolderUsed()
    {
        QFETCH(QString, used);
        QFETCH(QString, folder);
        TestStore s;
        addRow(s, 1, QStringLiteral("张三"));
        Session session;
        session.select(Selection::year(Year));
        const QDir home = QDir::home();
        QTemporaryDir gone;
        {
            ExportScreen exportScreen(s.data(), session);
            exportScreen.show();
            child<QRadioButton>(&exportScreen, "RadioButton4")->click();
            ImportScreen importScreen(s.data());
            importScreen.show();
            if (used == "export chooser") {
                FileDialog::setNextPath(home.filePath(QStringLiteral("data/out")));
                child<QToolButton>(&exportScreen, "SpeedButton1")->click();
            } else if (used == "import chooser") {
                FileDialog::setNextPath(home.filePath(QStringLiteral("media/disk/bt.dbf")));
                child<QToolButton>(&importScreen, "SpeedButton1")->click();
            } else if (used == "export") {
                child<QLineEdit>(&exportScreen, "Edit1")->setText(home.filePath(QStringLiteral("typed/x")));
                child<QPushButton>(&exportScreen, "BitBtn1")->click();
                QVERIFY(QFile::exists(home.filePath(QStringLiteral("typed/x.dbt"))));
            } else if (used == "import") {
                const QString file = home.filePath(QStringLiteral("typed/in.dbt"));
                ParadoxFile::write(file, ExchangeFixtures::table({ExchangeFixtures::row(QStringLiteral("教员"))}));
                child<QLineEdit>(&importScreen, "Edit1")->setText(file);
                child<QPushButton>(&importScreen, "BitBtn1")->click();
                QCOMPARE(MessageBox::shown().back().text, WorkloadImport::Done);
            } else if (used == "gone") {
                FileDialog::setNextPath(gone.path());
                child<QToolButton>(&exportScreen, "SpeedButton1")->click();
                QVERIFY(gone.remove());
            }
        }
        // A later run: new screens, the choosers cancelled.
        const QString start = folder.isEmpty() ? QDir::homePath() : home.filePath(folder);
        ExportScreen exportScreen(s.data(), session);
        exportScreen.show();
        child<QRadioButton>(&exportScreen, "RadioButton4")->click();
        child<QToolButton>(&exportScreen, "SpeedButton1")->click();
        QCOMPARE(FileDialog::asked().back().startDir, start);
        ImportScreen importScreen(s.data());
        importScreen.show();
        child<QToolButton>(&importScreen, "SpeedButton1")->click();
        QCOMPARE(FileDialog::asked().back().startDir, start);
    }

    // Enter in the path field does what the screen's main button does; Enter on a focused button
    // presses it; Esc closes the screen.
    void keyboard_data()
    {
        QTest::addColumn<bool>("exporting");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::addColumn<bool>("open");
        const QString noRows = QStringLiteral("没有满足条件的数据!");
        const QString noPath = QStringLiteral("没有输入源文件!");
        QTest::newRow("export: Enter in the path") << true << "Edit1" << int(Qt::Key_Return) << noRows << true;
        QTest::newRow("export: keypad Enter in the path") << true << "Edit1" << int(Qt::Key_Enter) << noRows << true;
        QTest::newRow("export: Enter on 导出") << true << "BitBtn1" << int(Qt::Key_Return) << noRows << true;
        QTest::newRow("export: Enter on 返回") << true << "BitBtn2" << int(Qt::Key_Return) << "" << false;
        QTest::newRow("export: Esc in the path") << true << "Edit1" << int(Qt::Key_Escape) << "" << false;
        QTest::newRow("export: Esc on a choice") << true << "RadioButton2" << int(Qt::Key_Escape) << "" << false;
        QTest::newRow("import: Enter in the path") << false << "Edit1" << int(Qt::Key_Return) << noPath << true;
        QTest::newRow("import: Enter on 返回") << false << "BitBtn2" << int(Qt::Key_Return) << "" << false;
        QTest::newRow("import: Esc in the path") << false << "Edit1" << int(Qt::Key_Escape) << "" << false;
    }
    void keyboard()
    {
        QFETCH(bool, exporting);
        QFETCH(QString, widget);
        QFETCH(int, key);
        QFETCH(QString, message);
        QFETCH(bool, open);
        TestStore s;
        Session session;
        session.select(Selection::year(QStringLiteral("1999"))); // no rows
        ExportScreen exportScreen(s.data(), session);
        ImportScreen importScreen(s.data());
        QWidget* screen = exporting ? static_cast<QWidget*>(&exportScreen) : &importScreen;
        screen->show();
        if (exporting)
            child<QRadioButton>(screen, "RadioButton4")->click(); // the path field in use
        QTest::keyClick(child<QWidget>(screen, widget.toLatin1().constData()), Qt::Key(key));
        QCOMPARE(MessageBox::shown().empty() ? QString() : MessageBox::shown().back().text, message);
        QCOMPARE(screen->isVisible(), open);
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_settings;
};

QTEST_MAIN(TestExchangeScreens)
#include "tst_exchange_screens.moc"
