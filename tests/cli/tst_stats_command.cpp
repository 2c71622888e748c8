// workloadctl stats: the files it writes, read back, and what it refuses.
#include "stats/StatsFixture.h"
#include "support/CliRun.h"
#include "support/FileChecks.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace StatsFixture;

namespace {

// The texts of an XML part (shared strings, sheet names, SVG texts) in document order.
QStringList elementTexts(const QByteArray& xml, const QString& element, const QString& attribute = {})
{
    QStringList out;
    for (QXmlStreamReader reader(xml); !reader.atEnd();)
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == element)
            out << (attribute.isEmpty() ? reader.readElementText() : reader.attributes().value(attribute).toString());
    return out;
}

} // namespace

class TestStatsCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void csvOfAFacultyBySection();
    void csvYearsSideBySide();
    void xlsxHasASheetPerView();
    void xlsxReadByOpenpyxl();
    void pdfText();
    void pngAndSvg();
    void refused_data();
    void refused();

private:
    CliRun stats(const QStringList& args) const
    {
        return runCli(m_store->ctlArguments() + QStringList{QStringLiteral("stats")} + args);
    }
    QString out(const QString& name) const { return m_out->filePath(name); }

    std::unique_ptr<TestStore> m_store;
    std::unique_ptr<QTemporaryDir> m_out;
};

void TestStatsCommand::init()
{
    m_store = std::make_unique<TestStore>();
    fill(m_store->db());
    m_out = std::make_unique<QTemporaryDir>();
}

void TestStatsCommand::csvOfAFacultyBySection()
{
    const CliRun r = stats({"--year", Year, "--faculty", "理学院", "--by", "section", "--threshold", "147.58", "--bins",
                            "100", "--csv", out("a.csv")});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QStringLiteral("wrote %1: 2026-2027学年理学院工作量统计, 4 teachers\n").arg(out("a.csv")));
    QCOMPARE(readFile(out("a.csv")),
             QByteArray(
                 "\xEF\xBB\xBF"
                 "分组统计\r\n"
                 "教研室,教师人数,无记录教师,课堂,课外,实验,实习设计,毕业设计,指导研究生,合计,人均,中位数,最低,最高\r\n"
                 "数学教研室,2,1,400.5,15.08,20,-10,12,0,437.58,218.79,218.79,147.58,290\r\n"
                 "物理教研室,1,0,80,12,0,0,0,20,112,112,112,112,112\r\n"
                 "合计,3,1,480.5,27.08,20,-10,12,20,549.58,183.19,147.58,112,290\r\n"
                 "\r\n"
                 "阈值\r\n"
                 "工作量合计,教师人数\r\n"
                 "低于 147.58,1\r\n"
                 "不低于 147.58,2\r\n"
                 "\r\n"
                 "分布 (每组 100)\r\n"
                 "区间下限,教师人数\r\n"
                 "100,2\r\n"
                 "200,1\r\n"
                 "\r\n"
                 "教师\r\n"
                 "院部,教研室,教师代码,姓名,职称,性质,岗位,记录数,课堂,课外,实验,实习设计,毕业设计,指导研究生,合计,"
                 "低于 147.58\r\n"
                 "理学院,数学教研室,T01,张三,正高级,专职,无重点岗位,2,100.5,15.08,20,0,12,0,147.58,否\r\n"
                 "理学院,数学教研室,T02,李四,副高级,专职,无重点岗位,2,300,0,0,-10,0,0,290,否\r\n"
                 "理学院,数学教研室,T05,周七,副高级,专职,无重点岗位,0\r\n"
                 "理学院,物理教研室,T03,王五,中级,兼职,无重点岗位,1,80,12,0,0,0,20,112,是\r\n"));
}

void TestStatsCommand::csvYearsSideBySide()
{
    const CliRun r = stats({"--all-years", "--by", "faculty", "--csv", out("y.csv")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out,
             QStringLiteral("wrote %1: 全校历年工作量对比, 5 teachers, 2023-2024学年 未计算, 2024-2025学年 未计算, "
                            "2025-2026学年 未计算\n")
                 .arg(out("y.csv")));
    const QList<QByteArray> lines = readFile(out("y.csv")).split('\n');
    QCOMPARE(lines.value(2), QByteArray("2023-2024学年,,未计算\r"));
    // Entered figures of a year never calculated are not shown as computed ones.
    QCOMPARE(lines.value(4), QByteArray("2025-2026学年,,未计算\r"));
    QCOMPARE(lines.value(5), QByteArray("2026-2027学年,理学院,已计算,3,1,480.5,27.08,20,-10,12,20,549.58,183.19,147.58,"
                                        "112,290,2026-12-01 09:30\r"));
    QCOMPARE(lines.size(), 9); // the two faculties and the total of the calculated year, and the end
}

void TestStatsCommand::xlsxHasASheetPerView()
{
    QCOMPARE(stats({"--year", Year, "--by", "title", "--threshold", "400", "--xlsx", out("a.xlsx")}).status, 0);
    QByteArray workbook, sheet, strings;
    RUN_TOOL(workbook, "unzip", QStringLiteral("-p"), out("a.xlsx"), QStringLiteral("xl/workbook.xml"));
    QCOMPARE(elementTexts(workbook, QStringLiteral("sheet"), QStringLiteral("name")),
             (QStringList{"分组统计", "分布", "教师"}));
    RUN_TOOL(sheet, "unzip", QStringLiteral("-p"), out("a.xlsx"), QStringLiteral("xl/worksheets/sheet1.xml"));
    RUN_TOOL(strings, "unzip", QStringLiteral("-p"), out("a.xlsx"), QStringLiteral("xl/sharedStrings.xml"));
    const QStringList shared = elementTexts(strings, QStringLiteral("t"));
    QMap<QString, QString> cells, types;
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
    QCOMPARE(cells.value("A1"), QStringLiteral("2026-2027学年工作量统计"));
    QCOMPARE(cells.value("A4"), QStringLiteral("职称"));
    QCOMPARE(cells.value("A6"), QStringLiteral("副高级"));
    QCOMPARE(types.value("B6"), QString()); // a number, not a text
    QCOMPARE(cells.value("B6").toDouble(), 2.0);
    QCOMPARE(cells.value("J6").toDouble(), 740.0);
    QCOMPARE(cells.value("K6").toDouble(), 370.0);
    QCOMPARE(cells.value("A8"), QStringLiteral("合计"));
    QCOMPARE(cells.value("J8").toDouble(), 999.58);
}

void TestStatsCommand::xlsxReadByOpenpyxl()
{
    QCOMPARE(stats({"--all-years", "--by", "nature", "--xlsx", out("y.xlsx")}).status, 0);
    const QString python = pythonWithOpenpyxl();
    if (python.isEmpty())
        QSKIP("python3-openpyxl is not installed (scripts/install-deps.sh installs it)");
    QProcess process;
    process.start(python,
                  {QStringLiteral("-c"),
                   QStringLiteral("import json, sys, openpyxl\n"
                                  "book = openpyxl.load_workbook(sys.argv[1])\n"
                                  "rows = [[c for c in r] for r in book['历年对比'].iter_rows(values_only=True)]\n"
                                  "print(json.dumps({'sheets': book.sheetnames, 'rows': rows}, ensure_ascii=False))"),
                   out(QStringLiteral("y.xlsx"))});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    const QJsonObject read = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    QCOMPARE(read.value("sheets").toArray().toVariantList(), QVariantList{QStringLiteral("历年对比")});
    const QJsonArray rows = read.value("rows").toArray();
    QCOMPARE(rows.at(0).toArray().at(0).toString(), QStringLiteral("全校历年工作量对比"));
    QCOMPARE(rows.at(4).toArray().at(2).toString(), QStringLiteral("未计算")); // 2023-2024学年
    QCOMPARE(rows.at(6).toArray().at(2).toString(), QStringLiteral("未计算")); // 2025-2026学年
    const QJsonArray fullTime = rows.at(7).toArray();                          // 2026-2027学年 专职
    QCOMPARE(fullTime.at(1).toString(), QStringLiteral("专职"));
    QVERIFY(fullTime.at(3).isDouble());
    QCOMPARE(fullTime.at(3).toDouble(), 3.0);
    QCOMPARE(fullTime.at(11).toDouble(), 887.58);
}

void TestStatsCommand::pdfText()
{
    QCOMPARE(stats({"--year", Earlier, "--by", "section", "--pdf", out("e.pdf")}).status, 0);
    QByteArray bytes;
    RUN_TOOL(bytes, "pdftotext", QStringLiteral("-layout"), out("e.pdf"), QStringLiteral("-"));
    const QString text = QString(QString::fromUtf8(bytes)).simplified();
    QVERIFY2(text.startsWith(QStringLiteral("2025-2026学年工作量统计")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("2025-2026学年 未计算")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("50.00")), qPrintable(text)); // no entered figure shown as computed

    QCOMPARE(stats({"--year", Year, "--by", "faculty", "--threshold", "200", "--pdf", out("a.pdf")}).status, 0);
    RUN_TOOL(bytes, "pdftotext", QStringLiteral("-layout"), out("a.pdf"), QStringLiteral("-"));
    const QString year = QString(QString::fromUtf8(bytes)).simplified();
    QVERIFY2(year.contains(QStringLiteral("理学院 3 1 480.5 27.08 20 -10 12 20 549.58 183.19 147.58 112 290")),
             qPrintable(year));
    QVERIFY2(year.contains(QStringLiteral("低于 200 2")), qPrintable(year));
    QVERIFY2(year.contains(QStringLiteral("阈值 200: 低于 2 人, 不低于 2 人")), qPrintable(year)); // on the chart
}

void TestStatsCommand::pngAndSvg()
{
    QCOMPARE(stats({"--year", Year, "--by", "faculty", "--png", out("a.png")}).status, 0);
    QImage image(out("a.png"));
    QCOMPARE(image.size(), QSize(1600, 900));
    int coloured = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            if (QColor(image.pixel(x, y)).saturation() > 100)
                ++coloured;
    QVERIFY2(coloured > 1000, qPrintable(QString::number(coloured))); // the bars are drawn

    QCOMPARE(stats({"--all-years", "--section", "数学教研室", "--by", "title", "--svg", out("a.svg")}).status, 0);
    const QByteArray svg = readFile(out("a.svg"));
    const QStringList texts = elementTexts(svg, QStringLiteral("text"));
    QVERIFY2(texts.contains(QStringLiteral("数学教研室历年工作量对比 (工作量合计)")), qPrintable(texts.join(u'|')));
    QVERIFY(texts.contains(QStringLiteral("正高级")));
    QVERIFY(texts.contains(QStringLiteral("2026-2027学年")));
    QCOMPARE(texts.count(QStringLiteral("未计算")), 3);
    QVERIFY(elementTexts(svg, QStringLiteral("polyline")).size() > 3);
}

void TestStatsCommand::refused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QStringList csv{"--csv", "x.csv"};
    QTest::newRow("unknown year") << (QStringList{"--year", "1999", "--by", "section"} + csv) << 1
                                  << "year \"1999\" is not one of the store's years";
    QTest::newRow("unknown faculty") << (QStringList{"--all-years", "--faculty", "工学院", "--by", "section"} + csv)
                                     << 1 << "no faculty named \"工学院\"";
    QTest::newRow("unknown section") << (QStringList{"--year", Year, "--section", "化学", "--by", "title"} + csv) << 1
                                     << "no section named \"化学\"";
    QTest::newRow("section without teachers")
        << (QStringList{"--year", Year, "--section", "空教研室", "--by", "title"} + csv) << 1
        << "section 空教研室 has no teachers: nothing written";
    QTest::newRow("bins too narrow") << (QStringList{"--year", Year, "--by", "title", "--bins", "0.01"} + csv) << 1
                                     << "分组宽度 0.01 太小";
    QTest::newRow("no grouping") << (QStringList{"--year", Year} + csv) << 2 << "--by is required";
    QTest::newRow("unknown grouping") << (QStringList{"--year", Year, "--by", "age"} + csv) << 2
                                      << "--by takes faculty, section, title, nature or post, not age";
    QTest::newRow("threshold not a number") << (QStringList{"--year", Year, "--by", "post", "--threshold", "4e2"} + csv)
                                            << 2 << "--threshold needs a number with at most two decimals, not 4e2";
    QTest::newRow("zero bins") << (QStringList{"--year", Year, "--by", "post", "--bins", "0"} + csv) << 2
                               << "--bins needs a width above 0";
    QTest::newRow("year and all years") << (QStringList{"--year", Year, "--all-years", "--by", "post"} + csv) << 2
                                        << "--year";
    QTest::newRow("no year") << (QStringList{"--by", "post"} + csv) << 2 << "--year";
    QTest::newRow("two files") << QStringList{"--year", Year, "--by", "post", "--csv", "x.csv", "--pdf", "x.pdf"} << 2
                               << "--csv";
    QTest::newRow("faculty and section")
        << (QStringList{"--year", Year, "--faculty", "理学院", "--section", "数学教研室", "--by", "post"} + csv) << 2
        << "--faculty";
}

void TestStatsCommand::refused()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    for (qsizetype i = 0; i < args.size(); ++i)
        if (args[i].startsWith(QStringLiteral("x.")))
            args[i] = out(args[i]);
    const CliRun r = stats(args);
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(QDir(m_out->path()).entryList(QDir::Files), QStringList()); // nothing written
}

QTEST_MAIN(TestStatsCommand)
#include "tst_stats_command.moc"
