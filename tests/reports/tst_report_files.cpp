#include "ReportFixtures.h"
#include "reports/ReportFileError.h"
#include "reports/ReportPainter.h"
#include "reports/TeacherListReport.h"
#include "support/FileChecks.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void writeAs(const TeacherListReport& report, const QString& format, const QString& path)
{
    if (format == u"pdf")
        report.writePdf(path);
    else if (format == u"xlsx")
        report.writeXlsx(path);
    else
        report.writeCsv(path);
}

struct SheetCell
{
    QString type; // the t attribute: "s" for a shared string, empty for a number
    QString value;
};

QMap<QString, SheetCell> sheetCells(const QByteArray& xml)
{
    QMap<QString, SheetCell> cells;
    QXmlStreamReader reader(xml);
    QString ref;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"c") {
            ref = reader.attributes().value(QLatin1String("r")).toString();
            cells[ref].type = reader.attributes().value(QLatin1String("t")).toString();
        } else if (reader.isStartElement() && reader.name() == u"v") {
            cells[ref].value = reader.readElementText();
        }
    }
    return cells;
}

QStringList sharedStrings(const QByteArray& xml)
{
    QStringList strings;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"t")
            strings.push_back(reader.readElementText());
    }
    return strings;
}

// A cell's text as a spreadsheet program reads it from the file: every _xHHHH_ stands for the
// character HHHH, matched from left to right.
QString spreadsheetText(const QString& xml)
{
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString text;
    qsizetype at = 0;
    for (QRegularExpressionMatchIterator i = escape.globalMatch(xml); i.hasNext();) {
        const QRegularExpressionMatch m = i.next();
        text += xml.mid(at, m.capturedStart() - at);
        text += QChar(m.captured(1).toUShort(nullptr, 16));
        at = m.capturedEnd();
    }
    return text + xml.mid(at);
}

} // namespace

class TestReportFiles : public QObject
{
    Q_OBJECT

private slots:
    void pdfText();
    void pdfFonts();
    void pdfTextStaysInside();
    void replacesEarlierFile_data();
    void replacesEarlierFile();
    void failedWrite_data();
    void failedWrite();
    void xlsxCells_data();
    void xlsxCells();
    void xlsxSheetSetup();
    void xlsxText_data();
    void xlsxText();
    void csvBytes();

private:
    QTemporaryDir m_dir;
};

void TestReportFiles::pdfText()
{
    const QString path = m_dir.filePath(QStringLiteral("list.pdf"));
    TeacherListReport(ReportFixtures::teachers(40)).writePdf(path);
    QByteArray info;
    RUN_TOOL(info, "pdfinfo", path);
    QVERIFY2(QString::fromUtf8(info).simplified().contains(QStringLiteral("Pages: 2 ")), info.constData());
    QByteArray bytes;
    RUN_TOOL(bytes, "pdftotext", QStringLiteral("-layout"), path, QStringLiteral("-"));
    // One blank between the texts of a line.
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    for (QString& line : lines)
        line = line.simplified();
    const QString text = lines.join(u'\n');
    auto lineWith = [&](const QString& needle) {
        for (const QString& line : lines)
            if (line.contains(needle))
                return line;
        return QString();
    };
    QCOMPARE(text.count(QStringLiteral("2026-2027学年软件工程教研室一览表")), 2);
    QCOMPARE(lineWith(QStringLiteral("教师40")), QStringLiteral("40 教师40 40 0.5 0.25 2 1.5 44.25"));
    QCOMPARE(text.count(QStringLiteral("人数： 40")), 2);
    QVERIFY(text.contains(QStringLiteral("2026/3/5 14:05:09")));
    // q11 + q12 = 820 + 20, q31 10, q32 80, q33 30, q 960, average 24.
    QCOMPARE(lineWith(QStringLiteral("总 计")), QStringLiteral("总 计 840 10 80 30 960"));
    QCOMPARE(lineWith(QStringLiteral("人均工作量")), QStringLiteral("人均工作量： 24 制表人："));
}

void TestReportFiles::pdfFonts()
{
    const QString path = m_dir.filePath(QStringLiteral("fonts.pdf"));
    TeacherListReport(ReportFixtures::teachers(1)).writePdf(path);
    QByteArray fonts;
    RUN_TOOL(fonts, "pdffonts", path);
    const struct
    {
        ReportFont role;
        const char* face;
        const char* standIn;
        const char* embedded;
    } expected[] = {{ReportFont::Title, "楷体_GB2312", "AR PL UKai CN", "UKaiCN"},
                    {ReportFont::Body, "宋体", "AR PL UMing CN", "UMingCN"}};
    for (const auto& e : expected) {
        if (QFontDatabase::hasFamily(QString::fromUtf8(e.face)))
            continue;
        QCOMPARE(QFontInfo(ReportPainter::font(e.role)).family(), QString::fromUtf8(e.standIn));
        QVERIFY2(fonts.contains(e.embedded), fonts.constData());
    }
}

void TestReportFiles::pdfTextStaysInside()
{
    // A title too long for its place after 42.3 mm, a seven-character name and a fifteen-digit total.
    TeacherListData data{
        QStringLiteral("2026-2027学年马克思主义理论与思政学院工作量"), ReportFixtures::generatedAt(), {}};
    data.rows.push_back(
        ReportFixtures::row(QStringLiteral("阿卜杜热合曼江"), {1234.56789, 2, 3, 4, 5, 6}, 12345.6789012345));
    const QString path = m_dir.filePath(QStringLiteral("inside.pdf"));
    TeacherListReport(data).writePdf(path);
    QByteArray html;
    RUN_TOOL(html, "pdftotext", QStringLiteral("-bbox"), path, QStringLiteral("-"));
    QMap<QString, std::pair<double, double>> words; // text -> xMin, xMax in points
    QXmlStreamReader reader(html);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"word") {
            const double xMin = reader.attributes().value(QLatin1String("xMin")).toDouble();
            const double xMax = reader.attributes().value(QLatin1String("xMax")).toDouble();
            words[reader.readElementText()] = {xMin, xMax};
        }
    }
    // Millimetres from the left margin to points from the page's edge, with a little for rounding.
    const auto points = [](double mm) { return (mm + 10) * 72 / 25.4; };
    const auto inside = [&](const QString& word, double left, double right) {
        const auto [xMin, xMax] = words.value(word, {-1, -1});
        return xMin >= points(left) - 0.5 && xMax <= points(right) + 0.5;
    };
    QVERIFY2(inside(data.title(), 0, 190), html.constData());
    QVERIFY2(inside(QStringLiteral("阿卜杜热合曼江"), 15.1, 36.3), html.constData());
    QVERIFY2(inside(QStringLiteral("1234.56789"), 36.3, 52.7), html.constData());
    QVERIFY2(inside(QStringLiteral("12345.6789012345"), 150.0, 170.7), html.constData());
}

void TestReportFiles::replacesEarlierFile_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("name");
    for (const QString& format : {QStringLiteral("pdf"), QStringLiteral("xlsx"), QStringLiteral("csv")}) {
        QTest::addRow("%s", qPrintable(format)) << format << QStringLiteral("一览表.") + format;
        // As long as a file name can be: the file is not saved under a longer name first.
        QTest::addRow("%s, name of 255 bytes", qPrintable(format))
            << format << QString(254 - format.size(), u'n') + u'.' + format;
    }
}

void TestReportFiles::replacesEarlierFile()
{
    QFETCH(QString, format);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(writeFile(path, "earlier"));
    // The earlier file's permissions stay with the name.
    const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path, mode));
    writeAs(TeacherListReport(ReportFixtures::teachers(2)), format, path);
    QCOMPARE(QFile::permissions(path) & QFile::Permissions(0x7077), mode);
    const QByteArray bytes = readFile(path);
    QVERIFY(bytes.size() > 100);
    const QByteArray magic = format == u"pdf" ? "%PDF" : format == u"xlsx" ? "PK" : "\xEF\xBB\xBF";
    QVERIFY(bytes.startsWith(magic));
    // Nothing else is left in the directory.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
}

void TestReportFiles::failedWrite_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("destination");
    for (const QString& format : {QStringLiteral("pdf"), QStringLiteral("xlsx"), QStringLiteral("csv")}) {
        QTest::addRow("%s into a missing directory", qPrintable(format))
            << format << QStringLiteral("missing/list.") + format;
        QTest::addRow("%s over a directory", qPrintable(format)) << format << QStringLiteral("taken");
    }
}

void TestReportFiles::failedWrite()
{
    QFETCH(QString, format);
    QFETCH(QString, destination);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("taken/keep")), "kept"));
    const QString path = dir.filePath(destination);
    const TeacherListReport report(ReportFixtures::teachers(2));
    try {
        writeAs(report, format, path);
        QFAIL("the write was reported as done");
    } catch (const ReportFileError& error) {
        QCOMPARE(error.path(), path);
        QVERIFY2(error.message().contains(path), qPrintable(error.message()));
        QVERIFY(!error.reason().isEmpty());
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("taken")});
    QCOMPARE(readFile(dir.filePath(QStringLiteral("taken/keep"))), QByteArray("kept"));
}

void TestReportFiles::xlsxCells_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QVariant>("value"); // QString: shared string; double: number; invalid: no value
    const QVariant none;
    QTest::newRow("title") << "A1" << QVariant(QStringLiteral("2026-2027学年软件工程教研室一览表"));
    QTest::newRow("heading 序号") << "A2" << QVariant(QStringLiteral("序号"));
    QTest::newRow("heading 本科毕业论文") << "G2" << QVariant(QStringLiteral("本科毕业论文"));
    QTest::newRow("heading 备注") << "J2" << QVariant(QStringLiteral("备注"));
    QTest::newRow("line number") << "A3" << QVariant(1.0);
    QTest::newRow("name") << "B3" << QVariant(QStringLiteral("教师1"));
    QTest::newRow("q11") << "C4" << QVariant(2.0);
    QTest::newRow("q12") << "D3" << QVariant(0.5);
    QTest::newRow("empty q2") << "E3" << none;
    QTest::newRow("q31") << "F3" << QVariant(0.25);
    QTest::newRow("empty q33") << "H3" << none;
    QTest::newRow("q33") << "H4" << QVariant(1.5);
    QTest::newRow("q") << "I5" << QVariant(5.75);
    QTest::newRow("备注 stays empty") << "J3" << none;
    QTest::newRow("total label") << "B6" << QVariant(QStringLiteral("总 计"));
    QTest::newRow("q11 sum") << "C6" << QVariant(6.0);
    QTest::newRow("q12 sum") << "D6" << QVariant(1.5);
    QTest::newRow("zero sum is empty") << "E6" << none;
    QTest::newRow("q33 sum") << "H6" << QVariant(1.5);
    QTest::newRow("q sum") << "I6" << QVariant(15.75);
    QTest::newRow("average label") << "B7" << QVariant(QStringLiteral("人均工作量："));
    QTest::newRow("average") << "I7" << QVariant(5.25);
}

void TestReportFiles::xlsxCells()
{
    QFETCH(QString, cell);
    QFETCH(QVariant, value);
    const QString path = m_dir.filePath(QStringLiteral("cells.xlsx"));
    TeacherListReport(ReportFixtures::teachers(3)).writeXlsx(path);
    QByteArray sheet, strings;
    RUN_TOOL(sheet, "unzip", QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml"));
    RUN_TOOL(strings, "unzip", QStringLiteral("-p"), path, QStringLiteral("xl/sharedStrings.xml"));
    const QMap<QString, SheetCell> cells = sheetCells(sheet);
    const SheetCell c = cells.value(cell);
    if (value.typeId() == QMetaType::QString) {
        QCOMPARE(c.type, QStringLiteral("s"));
        QCOMPARE(sharedStrings(strings).value(c.value.toInt()), value.toString());
    } else if (value.typeId() == QMetaType::Double) {
        QCOMPARE(c.type, QString());
        bool ok = false;
        QCOMPARE(c.value.toDouble(&ok), value.toDouble());
        QVERIFY(ok);
    } else {
        QCOMPARE(c.value, QString());
    }
}

void TestReportFiles::xlsxSheetSetup()
{
    const QString path = m_dir.filePath(QStringLiteral("setup.xlsx"));
    TeacherListData data = ReportFixtures::teachers(3);
    data.rows[1].rymc = QStringLiteral("欧阳明月Smith");
    TeacherListReport(data).writeXlsx(path);
    QByteArray sheet;
    RUN_TOOL(sheet, "unzip", QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(sheet.contains(R"(<pane ySplit="2" topLeftCell="A3" activePane="bottomLeft" state="frozen"/>)"));
    QVERIFY(sheet.contains(R"(<mergeCell ref="A1:J1"/>)"));
    QMap<int, double> widths;
    QXmlStreamReader reader(sheet);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"col")
            widths[reader.attributes().value(QLatin1String("min")).toInt()] =
                reader.attributes().value(QLatin1String("width")).toDouble();
    QCOMPARE(widths.size(), 10);
    // Widest texts in GBK bytes: "欧阳明月Smith" 13, "本科毕业论文" 12, "工作量合计" 10; two to spare.
    QVERIFY(widths[2] >= 15 && widths[2] < 17);
    QVERIFY(widths[7] >= 14 && widths[7] < 16);
    QVERIFY(widths[9] >= 12 && widths[9] < 14);
}

void TestReportFiles::xlsxText_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("an escape as text") << QStringLiteral("_x0041_");
    QTest::newRow("the escaped underscore as text") << QStringLiteral("_x005F_");
    QTest::newRow("an escape inside text") << QStringLiteral("a_x0041_b");
    QTest::newRow("lower-case digits") << QStringLiteral("_x004a_");
    QTest::newRow("two escapes sharing an underscore") << QStringLiteral("_x0041_x0042_");
    QTest::newRow("cut short") << QStringLiteral("_x00");
    QTest::newRow("no closing underscore") << QStringLiteral("_x0041");
    QTest::newRow("control characters") << QStringLiteral("a\x01b\x1f");
    QTest::newRow("tab") << QStringLiteral("a\tb");
    QTest::newRow("an escape closed by a control character") << QStringLiteral("_x0041\x01");
    QTest::newRow("an underscore before a control character") << QStringLiteral("_\x01");
    QTest::newRow("plain Chinese") << QStringLiteral("欧阳明月");
    QTest::newRow("ending in an underscore") << QStringLiteral("张三_");
}

// Text in a workbook reads back as it was written, also text that looks like the format's
// _xHHHH_ escapes and control characters, which the file carries as such escapes. The CSV file
// carries the same text as it is.
void TestReportFiles::xlsxText()
{
    QFETCH(QString, name);
    TeacherListData data = ReportFixtures::teachers(2);
    data.yearTitle = name;
    data.rows[0].rymc = name;
    const TeacherListReport report(data);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.xlsx"));
    report.writeXlsx(path);
    QByteArray sheet, strings;
    RUN_TOOL(sheet, "unzip", QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml"));
    RUN_TOOL(strings, "unzip", QStringLiteral("-p"), path, QStringLiteral("xl/sharedStrings.xml"));
    QXmlStreamReader check(strings);
    while (!check.atEnd())
        check.readNext();
    QVERIFY2(!check.hasError(), qPrintable(check.errorString()));
    const QMap<QString, SheetCell> cells = sheetCells(sheet);
    const QStringList shared = sharedStrings(strings);
    QCOMPARE(cells.value(QStringLiteral("B3")).type, QStringLiteral("s"));
    const QString raw = shared.value(cells.value(QStringLiteral("B3")).value.toInt());
    QCOMPARE(spreadsheetText(raw), name);
    QCOMPARE(spreadsheetText(shared.value(cells.value(QStringLiteral("A1")).value.toInt())),
             name + QStringLiteral("一览表"));
    QCOMPARE(spreadsheetText(shared.value(cells.value(QStringLiteral("B4")).value.toInt())), QStringLiteral("教师2"));

    const QString csv = dir.filePath(QStringLiteral("text.csv"));
    report.writeCsv(csv);
    QVERIFY(readFile(csv).contains("\r\n1," + name.toUtf8() + ",1,0.5,,0.25,2,,3.75,\r\n"));

    // openpyxl opens the workbook and finds the cell's text. Version 3.0 does not decode the escapes
    // (it only drops every "x005F_"), so a text is compared whole only where nothing was escaped.
    const QString python = pythonWithOpenpyxl();
    if (python.isEmpty())
        QSKIP("python3-openpyxl is not installed (scripts/install-deps.sh installs it)");
    QProcess process;
    process.start(python, {QStringLiteral("-c"),
                           QStringLiteral("import json, sys, openpyxl\n"
                                          "sheet = openpyxl.load_workbook(sys.argv[1]).active\n"
                                          "print(json.dumps([sheet['B3'].value, sheet['B4'].value]))"),
                           path});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    const QJsonArray values = QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    const QString got = values.at(0).toString();
    if (raw == name)
        QCOMPARE(got, name);
    else
        QVERIFY(!got.isEmpty());
    QCOMPARE(values.at(1).toString(), QStringLiteral("教师2"));
}

void TestReportFiles::csvBytes()
{
    TeacherListData data{QStringLiteral("2026-2027学年测试"), ReportFixtures::generatedAt(), {}};
    data.rows.push_back(
        ReportFixtures::row(QStringLiteral("王,五"), {1, 0.5, std::nullopt, 0.25, 2, std::nullopt}, 3.75));
    data.rows.push_back(ReportFixtures::row(
        QStringLiteral("赵\"六\""), {2.5, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}, 2.5));
    data.rows.push_back(ReportFixtures::row(
        QStringLiteral("李\r四"), {0, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}, 0));
    data.rows.push_back(ReportFixtures::row(
        QStringLiteral("孙\n七"), {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        std::nullopt));
    const QString path = m_dir.filePath(QStringLiteral("list.csv"));
    TeacherListReport(data).writeCsv(path);
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "序号,姓名,课堂教学,课外教学,实验教学,实习、设计,本科毕业论文,指导研究生,工作量合计,备注\r\n"
        "1,\"王,五\",1,0.5,,0.25,2,,3.75,\r\n"
        "2,\"赵\"\"六\"\"\",2.5,,,,,,2.5,\r\n"
        "3,\"李\r四\",0,,,,,,0,\r\n"
        "4,\"孙\n七\",,,,,,,,\r\n"
        ",总 计,3.5,0.5,,0.25,2,,6.25,\r\n"
        ",人均工作量：,,,,,,,1.56,\r\n";
    QCOMPARE(readFile(path), expected);
}

QTEST_MAIN(TestReportFiles)
#include "tst_report_files.moc"
