#include "support/CliRun.h"
#include "support/FileChecks.h"
#include "support/TestStore.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString Year = QStringLiteral("2026-2027学年");

// 理学院: 数学教研室 (S01: 张三 with all seven totals, 李四 with none), 物理教研室 (S02: 王五);
// 文学院: 中文教研室 (S03, no teachers).
void fill(Database& db)
{
    db.execute(QStringLiteral("insert into yuanbu (mc) values ('理学院'), ('文学院')"));
    db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('S01','数学教研室','理学院'),"
                              "('S02','物理教研室','理学院'), ('S03','中文教研室','文学院')"));
    db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,q11,q12,q2,q31,q32,q33,q) values "
                              "('T02','李四','S01',null,null,null,null,null,null,null),"
                              "('T01','张三','S01',100.5,15.08,20,0,12,0,147.58),"
                              "('T03','王五','S02',80,12,0,0,0,20,112)"));
}

} // namespace

class TestReportCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pdfOfASection();
    void xlsxOfAFaculty();
    void csvOfAFaculty();
    void yearOnlyTitlesTheList();
    void refused_data();
    void refused();
    void drawsPages_data();
    void drawsPages();
    void pdfOutsideADesktopSession();

private:
    CliRun report(const QStringList& args) const;

    std::unique_ptr<TestStore> m_store;
    std::unique_ptr<QTemporaryDir> m_out;
};

void TestReportCommand::init()
{
    m_store = std::make_unique<TestStore>();
    fill(m_store->db());
    m_out = std::make_unique<QTemporaryDir>();
}

CliRun TestReportCommand::report(const QStringList& args) const
{
    // The year of the fixture unless the case gives its own (an option is given once).
    const QStringList year =
        args.contains(QStringLiteral("--year")) ? QStringList() : QStringList{QStringLiteral("--year"), Year};
    return runCli(m_store->ctlArguments() + QStringList{QStringLiteral("report")} + year + args);
}

void TestReportCommand::pdfOfASection()
{
    const QString path = m_out->filePath(QStringLiteral("数学.pdf"));
    const CliRun r = report({QStringLiteral("--section"), QStringLiteral("数学教研室"), QStringLiteral("--pdf"), path});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QStringLiteral("wrote %1: 2026-2027学年数学教研室工作量一览表, 2 teachers, 1 page\n").arg(path));
    QByteArray bytes;
    RUN_TOOL(bytes, "pdftotext", QStringLiteral("-layout"), path, QStringLiteral("-"));
    QStringList lines;
    for (const QString& line : QString::fromUtf8(bytes).split(u'\n'))
        if (!line.simplified().isEmpty())
            lines << line.simplified();
    QCOMPARE(lines.value(0), QStringLiteral("2026-2027学年数学教研室工作量一览表"));
    QVERIFY2(lines.value(1).contains(QStringLiteral("人数： 2")), qPrintable(lines.value(1)));
    // The grid's order (teacher code), null totals printing nothing.
    QCOMPARE(lines.value(3), QStringLiteral("1 张三 100.5 15.08 20 0 12 0 147.58"));
    QCOMPARE(lines.value(4), QStringLiteral("2 李四"));
    QCOMPARE(lines.value(5), QStringLiteral("总 计 115.58 20 12 147.58"));
    QCOMPARE(lines.value(6), QStringLiteral("人均工作量： 73.79 制表人："));
}

void TestReportCommand::xlsxOfAFaculty()
{
    const QString path = m_out->filePath(QStringLiteral("理学院.xlsx"));
    const CliRun r = report({QStringLiteral("--faculty"), QStringLiteral("理学院"), QStringLiteral("--xlsx"), path});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QStringLiteral("wrote %1: 2026-2027学年理学院工作量一览表, 3 teachers\n").arg(path));
    QByteArray sheet, strings;
    RUN_TOOL(sheet, "unzip", QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml"));
    RUN_TOOL(strings, "unzip", QStringLiteral("-p"), path, QStringLiteral("xl/sharedStrings.xml"));
    QStringList shared;
    for (QXmlStreamReader reader(strings); !reader.atEnd();)
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"t")
            shared << reader.readElementText();
    // cell -> its value as the workbook holds it: a shared string's text, a number's digits.
    QMap<QString, QString> cells;
    QMap<QString, QString> types;
    QString ref;
    for (QXmlStreamReader reader(sheet); !reader.atEnd();) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"c") {
            ref = reader.attributes().value(QLatin1String("r")).toString();
            types[ref] = reader.attributes().value(QLatin1String("t")).toString();
        } else if (reader.isStartElement() && reader.name() == u"v") {
            const QString v = reader.readElementText();
            cells[ref] = types[ref] == u"s" ? shared.value(v.toInt()) : v;
        }
    }
    QCOMPARE(cells.value(QStringLiteral("A1")), QStringLiteral("2026-2027学年理学院工作量一览表"));
    QCOMPARE(types.value(QStringLiteral("B3")), QStringLiteral("s"));
    QCOMPARE(cells.value(QStringLiteral("B3")), QStringLiteral("张三"));
    QCOMPARE(cells.value(QStringLiteral("B4")), QStringLiteral("李四"));
    QCOMPARE(cells.value(QStringLiteral("B5")), QStringLiteral("王五"));
    QCOMPARE(types.value(QStringLiteral("C3")), QString());
    QCOMPARE(cells.value(QStringLiteral("C3")).toDouble(), 100.5);
    QCOMPARE(cells.value(QStringLiteral("I5")).toDouble(), 112.0);
    QVERIFY(!cells.contains(QStringLiteral("C4"))); // a null total stays an empty cell
    QCOMPARE(cells.value(QStringLiteral("I6")).toDouble(), 259.58);
}

void TestReportCommand::csvOfAFaculty()
{
    const QString path = m_out->filePath(QStringLiteral("理学院.csv"));
    QCOMPARE(report({QStringLiteral("--faculty"), QStringLiteral("理学院"), QStringLiteral("--csv"), path}).status, 0);
    QCOMPARE(readFile(path), QByteArray("\xEF\xBB\xBF"
                                        "序号,姓名,课堂教学,课外教学,实验教学,实习、设计,本科毕业论文,指导研究生,"
                                        "工作量合计,备注\r\n"
                                        "1,张三,100.5,15.08,20,0,12,0,147.58,\r\n"
                                        "2,李四,,,,,,,,\r\n"
                                        "3,王五,80,12,0,0,0,20,112,\r\n"
                                        ",总 计,180.5,27.08,20,,12,20,259.58,\r\n"
                                        ",人均工作量：,,,,,,,86.53,\r\n"));
}

// The list shows the totals of the last calculation; the year only names it. A year whose filter
// would also reach another year (which calc refuses) still titles the list.
void TestReportCommand::yearOnlyTitlesTheList()
{
    m_store->db().execute(QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,nd,fl) values "
                                         "(1,'张三','理学院','数学教研室','2026-2027学年(重修)','毕业设计')"));
    const QString path = m_out->filePath(QStringLiteral("理学院.csv"));
    const CliRun r = report({QStringLiteral("--faculty"), QStringLiteral("理学院"), QStringLiteral("--csv"), path});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.out, QStringLiteral("wrote %1: 2026-2027学年理学院工作量一览表, 3 teachers\n").arg(path));
}

void TestReportCommand::refused_data()
{
    QTest::addColumn<QStringList>("node");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString faculty = QStringLiteral("--faculty");
    const QString section = QStringLiteral("--section");
    QTest::newRow("unknown year") << QStringList{QStringLiteral("--year"), QStringLiteral("2030-2031学年"), faculty,
                                                 QStringLiteral("理学院")}
                                  << "--csv" << 1
                                  << QStringLiteral("year \"2030-2031学年\" is not one of the store's years");
    QTest::newRow("unknown faculty") << QStringList{faculty, QStringLiteral("工学院")} << "--pdf" << 1
                                     << QStringLiteral("no faculty named \"工学院\"");
    QTest::newRow("unknown section") << QStringList{section, QStringLiteral("化学教研室")} << "--csv" << 1
                                     << QStringLiteral("no section named \"化学教研室\"");
    QTest::newRow("section without teachers") << QStringList{section, QStringLiteral("中文教研室")} << "--xlsx" << 1
                                              << QStringLiteral("section 中文教研室 has no teachers");
    QTest::newRow("teacher") << QStringList{QStringLiteral("--teacher"), QStringLiteral("张三"), section,
                                            QStringLiteral("数学教研室")}
                             << "--pdf" << 2 << QStringLiteral("give exactly one of --faculty, --section");
    QTest::newRow("both nodes") << QStringList{faculty, QStringLiteral("理学院"), section, QStringLiteral("数学教研室")}
                                << "--pdf" << 2 << QStringLiteral("give exactly one of --faculty, --section");
    QTest::newRow("no output") << QStringList{faculty, QStringLiteral("理学院")} << "" << 2
                               << QStringLiteral("give one of --pdf FILE, --xlsx FILE, --csv FILE");
}

void TestReportCommand::refused()
{
    QFETCH(QStringList, node);
    QFETCH(QString, format);
    QFETCH(int, status);
    QFETCH(QString, message);
    QStringList args = node;
    if (!format.isEmpty())
        args << format << m_out->filePath(QStringLiteral("list"));
    const CliRun r = report(args);
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QCOMPARE(QDir(m_out->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

void TestReportCommand::drawsPages_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("draws");
    QTest::newRow("report") << QStringList{QStringLiteral("report"), QStringLiteral("--year"), Year} << true;
    QTest::newRow("report after --dir") << QStringList{QStringLiteral("--dir"), QStringLiteral("report"),
                                                       QStringLiteral("report")}
                                        << true;
    QTest::newRow("calc") << QStringList{QStringLiteral("--dir"), QStringLiteral("report"), QStringLiteral("calc")}
                          << false;
    QTest::newRow("nothing") << QStringList{} << false;
}

void TestReportCommand::drawsPages()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, draws);
    QCOMPARE(Cli().drawsPages(arguments), draws);
}

// From cron or ssh: no display, no runtime directory. The program itself writes the PDF and
// prints only its own line.
void TestReportCommand::pdfOutsideADesktopSession()
{
    const QString path = m_out->filePath(QStringLiteral("数学.pdf"));
    QProcess ctl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_RUNTIME_DIR", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    ctl.setProcessEnvironment(env);
    ctl.start(QStringLiteral(WORKLOADCTL),
              m_store->ctlArguments() + QStringList{QStringLiteral("report"), QStringLiteral("--year"), Year,
                                                    QStringLiteral("--section"), QStringLiteral("数学教研室"),
                                                    QStringLiteral("--pdf"), path});
    QVERIFY(ctl.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(ctl.readAllStandardError()), QString());
    QCOMPARE(ctl.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(ctl.readAllStandardOutput()),
             QStringLiteral("wrote %1: 2026-2027学年数学教研室工作量一览表, 2 teachers, 1 page\n").arg(path));
    QVERIFY(readFile(path).startsWith("%PDF"));
}

QTEST_MAIN(TestReportCommand)
#include "tst_report_command.moc"
