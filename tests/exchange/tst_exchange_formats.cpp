#include "ExchangeFixtures.h"
#include "exchange/DbaseFile.h"
#include "exchange/GbkConverterError.h"
#include "exchange/GbkDecoder.h"
#include "exchange/NumberText.h"
#include "exchange/ParadoxFile.h"
#include "store/Gbk.h"
#include "support/FileChecks.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

extern "C" {
#include <paradox.h>
}
#include <shapefil.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

using namespace ExchangeFixtures;

namespace {

void writeTable(const QString& format, const QString& path, const ExchangeTable& t)
{
    if (format == u"dbt")
        ParadoxFile::write(path, t);
    else
        DbaseFile::write(path, t);
}

ExchangeTable readTable(const QString& format, const QString& path)
{
    return format == u"dbt" ? ParadoxFile::read(path) : DbaseFile::read(path);
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

bool isNull(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

void putLe16(QByteArray& b, int at, int v)
{
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}

void putLe32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

// A Paradox Number field's bytes: high byte first, the sign bit inverted, negatives all inverted.
QByteArray paradoxNumber(double value)
{
    quint64 bits = std::bit_cast<quint64>(value);
    bits = (bits & (quint64(1) << 63)) ? ~bits : (bits | (quint64(1) << 63));
    QByteArray out(8, '\0');
    for (int i = 0; i < 8; ++i)
        out[i] = char((bits >> (8 * (7 - i))) & 0xff);
    return out;
}

// Where a column's field of the first record starts in a dBASE file, from the field descriptors.
qsizetype dbaseFieldAt(const QByteArray& file, const QByteArray& column)
{
    const int headerLength = quint8(file[8]) | (quint8(file[9]) << 8);
    qsizetype offset = 1; // the deletion mark
    for (int d = 32; d + 32 <= headerLength && file[d] != '\x0D'; d += 32) {
        if (QByteArray(file.constData() + d).left(11) == column)
            return headerLength + offset;
        offset += quint8(file[d + 16]);
    }
    return -1;
}

// The first record's text of a column as shapelib, a reader of other programs, gives it.
QString shapelibText(const QString& path, const char* column)
{
    DBFHandle h = DBFOpen(QFile::encodeName(path).constData(), "rb");
    if (!h)
        return QStringLiteral("(not opened)");
    const QByteArray text = DBFReadStringAttribute(h, 0, DBFGetFieldIndex(h, column));
    DBFClose(h);
    return Gbk::decode(text).value_or(QStringLiteral("(not GBK)"));
}

std::vector<QVariantList> threeRows()
{
    QVariantList a = row(QStringLiteral("欧阳诸葛司马懿"));
    set(a, QStringLiteral("r1"), -2.5);
    set(a, QStringLiteral("t1"), QVariant());
    set(a, QStringLiteral("xh"), qint64(-12));
    QVariantList b = row(QStringLiteral("李四"));
    set(b, QStringLiteral("q11"), 1.0 / 3);
    set(b, QStringLiteral("gm"), QVariant());
    set(b, QStringLiteral("banji"), QString());
    QVariantList c = row(QStringLiteral("王五"));
    set(c, QStringLiteral("xh"), qint64(2147483647));
    return {a, b, c};
}

} // namespace

class TestExchangeFormats : public QObject
{
    Q_OBJECT
private slots:
    void valueRoundTrip_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        const struct
        {
            const char* name;
            const char* column;
            QVariant value;
        } cases[] = {
            {"0.1", "r1", 0.1},
            {"1/3", "q11", 1.0 / 3},
            {"12.345", "t1", 12.345},
            {"1e-7", "k11", 1e-7},
            {"-2.5", "q2", -2.5},
            {"123456789.125", "q33", 123456789.125},
            {"0.1+0.2", "k31", 0.1 + 0.2},
            {"zero", "w", 0.0},
            {"huge", "s3", 1.7976931348623157e308},
            {"tiny negative", "c12", -2.2250738585072014e-308},
            {"blank number", "r2", QVariant()},
            {"xh max", "xh", qint64(2147483647)},
            {"xh negative", "xh", qint64(-2147483647)},
            {"xh blank", "xh", QVariant()},
            {"gm", "gm", qint64(-32767)},
            {"gm blank", "gm", QVariant()},
            {"empty text", "banji", QString()},
            {"7 Chinese characters", "jiaoshi", QStringLiteral("欧阳诸葛司马懿")},
            {"15 bytes", "jiaoshi", QStringLiteral("abc一二三四五六")},
            {"quote", "kname", QStringLiteral("O'Neil's \"course\"")},
            {"leading blank", "banji", QStringLiteral("  计科1班")},
            {"blank at both ends", "jiaoshi", QStringLiteral(" 名 ")},
            {"a blank only", "jiaoshi", QStringLiteral(" ")},
            {"trailing blanks", "yuanbu", QStringLiteral("理学院  ")},
            {"blank at the end of 14 bytes", "jiaoshi", QStringLiteral("一二三四五六a ")},
            {"55 bytes", "shuoming", QString(QStringLiteral("理论课")).repeated(9) + QStringLiteral("a")},
        };
        for (const char* format : {"dbt", "dbf"})
            for (const auto& c : cases)
                QTest::addRow("%s %s", format, c.name)
                    << QString::fromLatin1(format) << QString::fromLatin1(c.column) << c.value;
        // A Paradox field keeps a blank in its last byte; a dBASE field cannot (refused on writing).
        QTest::newRow("dbt blank at the end of 15 bytes")
            << QStringLiteral("dbt") << QStringLiteral("jiaoshi") << QVariant(QStringLiteral("一二三四五六七 "));
    }

    // Every value of the workload columns comes back exactly from both formats.
    void valueRoundTrip()
    {
        QFETCH(QString, format);
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.") + format);
        QVariantList r = row();
        set(r, column, value);
        writeTable(format, path, table({r, row(QStringLiteral("李四"))}));

        const ExchangeTable back = readTable(format, path);
        QCOMPARE(back.rows.size(), std::size_t(2));
        const QVariant got = back.rows[0][*back.indexOf(column)];
        const ExchangeTable layout = table({});
        const ExchangeColumn c = layout.columns[*layout.indexOf(column)];
        if (c.isNumeric()) {
            QCOMPARE(isNull(got), isNull(value));
            if (!isNull(value)) // exactly equal, not merely close
                QVERIFY2(got.toDouble() == value.toDouble(), qPrintable(NumberText::shortest(got.toDouble())));
        } else {
            QCOMPARE(got.toString(), value.toString());
        }
        // The neighbouring row is untouched by the value.
        QCOMPARE(back.rows[1][*back.indexOf(QStringLiteral("jiaoshi"))].toString(), QStringLiteral("李四"));
    }

    // A Paradox data block holds eight workload rows: files of a block, a block and one row, and
    // several blocks come back whole and in order (and pxlib counts the same rows).
    void rowsAcrossBlocks_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("rows");
        for (const QString& format : {QStringLiteral("dbt"), QStringLiteral("dbf")})
            for (const int n : {0, 1, 8, 9, 16, 17, 100})
                QTest::addRow("%s %d rows", qPrintable(format), n) << format << n;
    }
    void rowsAcrossBlocks()
    {
        QFETCH(QString, format);
        QFETCH(int, rows);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.") + format);
        std::vector<QVariantList> written;
        for (int i = 0; i < rows; ++i) {
            QVariantList r = row(QStringLiteral("教师%1").arg(i));
            set(r, QStringLiteral("xh"), qint64(i));
            set(r, QStringLiteral("q11"), i / 3.0);
            written.push_back(r);
        }
        writeTable(format, path, table(written));

        const ExchangeTable back = readTable(format, path);
        QCOMPARE(back.rows.size(), std::size_t(rows));
        for (int i = 0; i < rows; ++i) {
            const QVariantList& r = back.rows[std::size_t(i)];
            QCOMPARE(r[*back.indexOf(QStringLiteral("jiaoshi"))].toString(), QStringLiteral("教师%1").arg(i));
            QCOMPARE(r[*back.indexOf(QStringLiteral("xh"))].toLongLong(), qint64(i));
            QVERIFY(r[*back.indexOf(QStringLiteral("q11"))].toDouble() == i / 3.0);
        }
        if (format == u"dbt") {
            pxdoc_t* px = PX_new();
            QVERIFY(px);
            QCOMPARE(PX_open_file(px, QFile::encodeName(path).constData()), 0);
            QCOMPARE(PX_get_num_records(px), rows);
            PX_close(px);
            PX_delete(px);
        }
    }

    // Text wider than its column is refused, and a good file already at the destination stays as it was.
    // A value the file cannot hold is refused, and a good file already at the destination stays
    // as it was, with nothing left beside it.
    void unfitValueKeepsEarlierFile_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        const struct
        {
            const char* name;
            const char* column;
            QVariant value;
        } cases[] = {
            {"text too wide", "jiaoshi", QStringLiteral("欧阳诸葛司马懿德")}, // 16 bytes in a 15-byte column
            {"text without GBK form", "jiaoshi", QStringLiteral("张\U0001F600")},
            {"fraction in a whole-number column", "xh", 2.5},
            {"huge number in a whole-number column", "xh", 1e300},
            {"text in a number column", "r1", QStringLiteral("abc")},
            {"infinite number", "r1", std::numeric_limits<double>::infinity()},
            {"undefined number", "t1", std::numeric_limits<double>::quiet_NaN()},
        };
        for (const char* format : {"dbt", "dbf"})
            for (const auto& c : cases)
                QTest::addRow("%s %s", format, c.name)
                    << QString::fromLatin1(format) << QString::fromLatin1(c.column) << c.value;
        QTest::newRow("dbf blank at the end of a full field")
            << QStringLiteral("dbf") << QStringLiteral("jiaoshi") << QVariant(QStringLiteral("一二三四五六七 "));
    }

    void unfitValueKeepsEarlierFile()
    {
        QFETCH(QString, format);
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.") + format);
        writeTable(format, path, table({row()}));
        const QByteArray before = readFile(path);

        QVariantList unfit = row();
        set(unfit, column, value);
        QVERIFY_THROWS_EXCEPTION(ExchangeFileError, writeTable(format, path, table({row(), unfit})));
        QCOMPARE(readFile(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("bt.") + format});
    }

    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << 12.0 << "12";
        QTest::newRow("negative integer") << -40.0 << "-40";
        QTest::newRow("0.1") << 0.1 << "0.1";
        QTest::newRow("1/3") << 1.0 / 3 << "0.3333333333333333";
        QTest::newRow("0.1+0.2") << 0.1 + 0.2 << "0.30000000000000004";
        QTest::newRow("12.345") << 12.345 << "12.345";
        QTest::newRow("-2.5") << -2.5 << "-2.5";
        QTest::newRow("123456789.125") << 123456789.125 << "123456789.125";
        QTest::newRow("1e-7") << 1e-7 << "1e-07";
        QTest::newRow("0.0001") << 0.0001 << "0.0001";
        QTest::newRow("1e20") << 1e20 << "1e+20";
        QTest::newRow("64/3") << 64.0 / 3 << "21.333333333333332";
    }

    void numberText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(NumberText::shortest(value), text);
    }

    // The text of any finite double reads back as the same double, whatever the locale.
    void numberTextReadsBackExactly()
    {
        QRandomGenerator random(20261210);
        int checked = 0;
        while (checked < 500) {
            const double v = std::bit_cast<double>(random.generate64());
            if (!std::isfinite(v))
                continue;
            ++checked;
            const QString text = NumberText::shortest(v);
            const QByteArray latin = text.toLatin1();
            const std::optional<double> back = NumberText::parse(std::string_view(latin.constData(), latin.size()));
            QVERIFY2(back && *back == v, qPrintable(text));
            QVERIFY(!text.contains(u','));
        }
    }

    // Another Paradox implementation reads what we write, value for value.
    void pxlibReadsOurFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.dbt"));
        const ExchangeTable t = table(threeRows());
        ParadoxFile::write(path, t);

        pxdoc_t* px = PX_new();
        QVERIFY(px);
        QCOMPARE(PX_open_file(px, QFile::encodeName(path).constData()), 0);
        QCOMPARE(PX_get_num_records(px), 3);
        QCOMPARE(PX_get_num_fields(px), 40);
        std::vector<char> buf(std::size_t(PX_get_recordsize(px)));
        for (int r = 0; r < 3; ++r) {
            QVERIFY(PX_get_record(px, r, buf.data()));
            int offset = 0;
            for (int i = 0; i < 40; ++i) {
                const pxfield_t* f = PX_get_field(px, i);
                QCOMPARE(QString::fromLatin1(f->px_fname), t.columns[i].name);
                char* p = buf.data() + offset;
                const QVariant want = t.rows[std::size_t(r)][i];
                switch (f->px_ftype) {
                case pxfAlpha: {
                    char* s = nullptr;
                    const int got = PX_get_data_alpha(px, p, f->px_flen, &s);
                    const QString text = got > 0 ? *Gbk::decode(QByteArray(s)) : QString();
                    if (s)
                        px->free(px, s);
                    QCOMPARE(text, want.toString());
                    break;
                }
                case pxfLong: {
                    long v = 0;
                    const int got = PX_get_data_long(px, p, 4, &v);
                    QCOMPARE(got == 0, isNull(want));
                    if (!isNull(want))
                        QCOMPARE(qint64(v), want.toLongLong());
                    break;
                }
                case pxfShort: {
                    short v = 0;
                    const int got = PX_get_data_short(px, p, 2, &v);
                    QCOMPARE(got == 0, isNull(want));
                    if (!isNull(want))
                        QCOMPARE(qint64(v), want.toLongLong());
                    break;
                }
                case pxfNumber: {
                    double v = 0;
                    const int got = PX_get_data_double(px, p, 8, &v);
                    QCOMPARE(got == 0, isNull(want));
                    if (!isNull(want))
                        QVERIFY2(v == want.toDouble(), qPrintable(t.columns[i].name));
                    break;
                }
                default:
                    QFAIL("unexpected field type");
                }
                offset += f->px_flen;
            }
        }
        PX_close(px);
        PX_delete(px);
    }

    // We read what another Paradox implementation writes, fields in its own order.
    void weReadPxlibFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("px.db"));
        pxdoc_t* px = PX_new();
        auto* fields = static_cast<pxfield_t*>(px->malloc(px, 4 * sizeof(pxfield_t), "fields"));
        const struct
        {
            const char* name;
            char type;
            int len;
        } defs[] = {{"Jiaoshi", pxfAlpha, 15}, {"R1", pxfNumber, 8}, {"XH", pxfLong, 4}, {"gm", pxfShort, 2}};
        for (int i = 0; i < 4; ++i) {
            fields[i].px_fname = PX_strdup(px, defs[i].name);
            fields[i].px_ftype = defs[i].type;
            fields[i].px_flen = defs[i].len;
            fields[i].px_fdc = 0;
        }
        QCOMPARE(PX_create_file(px, fields, 4, QFile::encodeName(path).constData(), pxfFileTypNonIndexDB), 0);
        const QByteArray names[] = {*Gbk::encode(QStringLiteral("欧阳诸葛司马懿")), QByteArray("Smith"),
                                    *Gbk::encode(QStringLiteral("李四"))};
        const double numbers[] = {-2.5, 1.0 / 3, 123456789.125};
        const int serials[] = {-7, 0, 2147483647};
        std::vector<char> buf(std::size_t(PX_get_recordsize(px)));
        for (int r = 0; r < 3; ++r) {
            std::fill(buf.begin(), buf.end(), 0);
            QByteArray name = names[r];
            PX_put_data_alpha(px, buf.data(), 15, name.data());
            PX_put_data_double(px, buf.data() + 15, 8, numbers[r]);
            PX_put_data_long(px, buf.data() + 23, 4, serials[r]);
            PX_put_data_short(px, buf.data() + 27, 2, short(r - 1));
            QVERIFY(PX_put_record(px, buf.data()) >= 0);
        }
        PX_close(px);
        PX_delete(px);

        const ExchangeTable t = ParadoxFile::read(path);
        QCOMPARE(t.rows.size(), std::size_t(3));
        const int jiaoshi = *t.indexOf(QStringLiteral("jiaoshi")), r1 = *t.indexOf(QStringLiteral("r1")),
                  xh = *t.indexOf(QStringLiteral("xh")), gm = *t.indexOf(QStringLiteral("GM"));
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(t.rows[r][jiaoshi].toString(), *Gbk::decode(names[r]));
            QVERIFY(t.rows[r][r1].toDouble() == numbers[r]);
            QCOMPARE(t.rows[r][xh].toLongLong(), qint64(serials[r]));
            QCOMPARE(t.rows[r][gm].toLongLong(), qint64(r - 1));
        }
    }

    // A dBASE file from another writer: fields in another order and case, a deleted record,
    // numbers in fixed decimals and shapelib's NULL, all read by name.
    void dbaseFromAnotherWriter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("other.dbf"));
        DBFHandle h = DBFCreate(QFile::encodeName(path).constData());
        QVERIFY(h);
        QCOMPARE(DBFAddField(h, "Q11", FTDouble, 19, 6), 0);
        QCOMPARE(DBFAddField(h, "JIAOSHI", FTString, 15, 0), 1);
        QCOMPARE(DBFAddField(h, "Xh", FTInteger, 9, 0), 2);
        const char* names[] = {"A", "B", "C"};
        for (int r = 0; r < 3; ++r) {
            QVERIFY(DBFWriteDoubleAttribute(h, r, 0, 2.25 * r));
            QByteArray gbk = *Gbk::encode(QStringLiteral("教师") + QString::fromLatin1(names[r]));
            QVERIFY(DBFWriteStringAttribute(h, r, 1, gbk.constData()));
            QVERIFY(DBFWriteIntegerAttribute(h, r, 2, 10 + r));
        }
        QVERIFY(DBFWriteNULLAttribute(h, 2, 0));
        QVERIFY(DBFMarkRecordDeleted(h, 1, 1));
        DBFClose(h);

        const ExchangeTable t = DbaseFile::read(path);
        QCOMPARE(t.rows.size(), std::size_t(2));
        const int q11 = *t.indexOf(QStringLiteral("q11")), jiaoshi = *t.indexOf(QStringLiteral("jiaoshi")),
                  xh = *t.indexOf(QStringLiteral("xh"));
        QCOMPARE(t.rows[0][jiaoshi].toString(), QStringLiteral("教师A"));
        QCOMPARE(t.rows[1][jiaoshi].toString(), QStringLiteral("教师C"));
        QCOMPARE(t.rows[0][q11].toDouble(), 0.0);
        QVERIFY(isNull(t.rows[1][q11]));
        QCOMPARE(t.rows[0][xh].toLongLong(), qint64(10));
        QCOMPARE(t.rows[1][xh].toLongLong(), qint64(12));
    }

    // Our dBASE files name GBK as their language driver and write numbers without the locale.
    void dbaseCodePageAndNumberText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.dbf"));
        QVariantList r = row();
        set(r, QStringLiteral("r1"), 0.1);
        DbaseFile::write(path, table({r}));
        const QByteArray bytes = readFile(path);
        QCOMPARE(quint8(bytes[29]), quint8(77));
        QVERIFY(bytes.contains(QByteArray(DbaseFile::NumberWidth - 3, ' ') + "0.1"));
        QVERIFY(!bytes.contains("0,1"));
    }

    // A system without a GBK converter cannot read any text that is not ASCII: it says so rather
    // than call the file's text "not GBK".
    void missingGbkConverterIsReported()
    {
        GbkDecoder decoder("NO-SUCH-ENCODING");
        QCOMPARE(decoder.utf8("Smith", 5).value_or(""), std::string_view("Smith"));
        const QByteArray gbk = *Gbk::encode(QStringLiteral("张三"));
        try {
            decoder.utf8(gbk.constData(), int(gbk.size()));
            QFAIL("the decoder went on without a converter");
        } catch (const GbkConverterError& e) {
            QCOMPARE(e.text(),
                     QStringLiteral("无法打开GBK字符转换器: ") + QString::fromLocal8Bit(std::strerror(EINVAL)));
        }
        GbkDecoder real;
        QCOMPARE(real.utf8(gbk.constData(), int(gbk.size())).value_or(""), std::string_view("张三"));
    }

    void malformed_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("fault");
        for (const char* format : {"dbt", "dbf"})
            for (const char* fault :
                 {"empty", "truncated header", "random bytes", "forged record count", "forged field count",
                  "forged field size", "forged header size", "cut records", "text not GBK"})
                QTest::addRow("%s %s", format, fault) << QString::fromLatin1(format) << QString::fromLatin1(fault);
        QTest::newRow("dbt block chain loop") << QStringLiteral("dbt") << QStringLiteral("block chain loop");
        QTest::newRow("dbt block record size") << QStringLiteral("dbt") << QStringLiteral("block record size");
        QTest::newRow("dbf number text") << QStringLiteral("dbf") << QStringLiteral("number text");
        QTest::newRow("dbt block count above the file") << QStringLiteral("dbt") << QStringLiteral("block count");
        QTest::newRow("dbt file longer than its blocks") << QStringLiteral("dbt") << QStringLiteral("extra block");
        for (const char* format : {"dbt", "dbf"})
            for (const char* fault : {"NaN", "infinity", "minus infinity"})
                QTest::addRow("%s number %s", format, fault)
                    << QString::fromLatin1(format) << QString::fromLatin1(fault);
        QTest::newRow("dbf number beyond a double") << QStringLiteral("dbf") << QStringLiteral("1e999");
        QTest::newRow("dbf record the header does not count")
            << QStringLiteral("dbf") << QStringLiteral("uncounted record");
        QTest::newRow("dbf byte after the end mark") << QStringLiteral("dbf") << QStringLiteral("after the end mark");
    }

    // A damaged or forged file is refused, never misread.
    void malformed()
    {
        QFETCH(QString, format);
        QFETCH(QString, fault);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.") + format);
        writeTable(format, path, table(threeRows()));
        QByteArray b = readFile(path);
        const bool px = format == u"dbt";
        const int headerSize = px ? 0x800 : (quint8(b[8]) | (quint8(b[9]) << 8));
        const int firstText = px ? 0x800 + 6 + 4 + 2 + 26 * 8 : headerSize + 1 + 11 + 6 + 26 * 24;

        if (fault == u"empty") {
            b.clear();
        } else if (fault == u"truncated header") {
            b.truncate(px ? 0x60 : 20);
        } else if (fault == u"random bytes") {
            QRandomGenerator random(7);
            for (char& c : b)
                c = char(random.generate());
        } else if (fault == u"forged record count") {
            putLe32(b, px ? 0x06 : 4, 0x7fffffff);
        } else if (fault == u"forged field count") {
            if (px)
                putLe16(b, 0x21, 200);
            else
                putLe16(b, 8, headerSize + 32 * 5); // more descriptors than the header holds
        } else if (fault == u"forged field size") {
            if (px)
                b[0x78 + 1] = char(9); // a Long field of 9 bytes
            else
                b[32 + 16] = char(200);
        } else if (fault == u"forged header size") {
            putLe16(b, px ? 0x02 : 8, 0xfff0);
        } else if (fault == u"cut records") {
            b.truncate(b.size() - (px ? 3000 : 500));
        } else if (fault == u"text not GBK") {
            b[firstText] = char(0x81); // a lead byte followed by a byte that cannot trail it
            b[firstText + 1] = char(0x7f);
        } else if (fault == u"block chain loop") {
            putLe16(b, 0x800, 1); // the first block names itself as the next
            putLe32(b, 0x06, 100);
        } else if (fault == u"block record size") {
            putLe16(b, 0x800 + 4, 1000); // not a multiple of the record size
        } else if (fault == u"number text") {
            b[headerSize + 1 + 11 + 6 + 2] = 'x'; // inside r1 of the first record
        } else if (fault == u"block count") {
            putLe16(b, 0x0A, (b.size() - 0x800) / 4096 + 1);
        } else if (fault == u"extra block") {
            b.append(QByteArray(4096, '\0'));
        } else if (fault == u"uncounted record") {
            putLe32(b, 4, 2); // of three
        } else if (fault == u"after the end mark") {
            b.append('\x1A');
        } else {
            // r1 of the first record: a number that is not one
            const std::map<QString, double> numbers{{"NaN", std::numeric_limits<double>::quiet_NaN()},
                                                    {"infinity", std::numeric_limits<double>::infinity()},
                                                    {"minus infinity", -std::numeric_limits<double>::infinity()}};
            const std::map<QString, QByteArray> texts{
                {"NaN", "nan"}, {"infinity", "inf"}, {"minus infinity", "-inf"}, {"1e999", "1e999"}};
            if (px)
                b.replace(0x800 + 6 + 4 + 2, 8, paradoxNumber(numbers.at(fault)));
            else
                b.replace(headerSize + 1 + 11 + 6, 24, texts.at(fault).rightJustified(24, ' '));
        }
        writeBytes(path, b);
        QVERIFY_THROWS_EXCEPTION(ExchangeFileError, readTable(format, path));
    }

    // dBASE writers end the file with one end-of-file byte after the records, or with the last
    // record: either is the whole table.
    void dbaseEndOfFileMark_data()
    {
        QTest::addColumn<bool>("mark");
        QTest::newRow("with the end mark") << true;
        QTest::newRow("without it") << false;
    }
    void dbaseEndOfFileMark()
    {
        QFETCH(bool, mark);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.dbf"));
        DbaseFile::write(path, table(threeRows()));
        QByteArray b = readFile(path);
        QCOMPARE(b.back(), '\x1A');
        if (!mark)
            b.chop(1);
        writeBytes(path, b);
        const ExchangeTable t = DbaseFile::read(path);
        QCOMPARE(t.rows.size(), std::size_t(3));
        QCOMPARE(t.rows[2][*t.indexOf(QStringLiteral("jiaoshi"))].toString(), QStringLiteral("王五"));
    }

    // Text ends at its first NUL byte, in both formats, as in the C strings of their writers.
    void textEndsAtNul_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("written"); // ~ becomes the NUL byte in the file
        QTest::addColumn<QString>("read");
        for (const char* format : {"dbt", "dbf"}) {
            const QString f = QString::fromLatin1(format);
            QTest::addRow("%s inside", format) << f << "a~b"
                                               << "a";
            QTest::addRow("%s first", format) << f << "~ab"
                                              << "";
            QTest::addRow("%s last", format) << f << "ab~"
                                             << "ab";
            QTest::addRow("%s between characters", format) << f << QStringLiteral("张~三") << QStringLiteral("张");
        }
    }
    void textEndsAtNul()
    {
        QFETCH(QString, format);
        QFETCH(QString, written);
        QFETCH(QString, read);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.") + format);
        writeTable(format, path, table({row(written)}));
        QByteArray b = readFile(path);
        const QByteArray text = *Gbk::encode(written);
        const qsizetype at = b.indexOf(text);
        QVERIFY(at > 0);
        QCOMPARE(b.indexOf(text, at + 1), -1);
        b[at + text.indexOf('~')] = '\0';
        writeBytes(path, b);
        const ExchangeTable t = readTable(format, path);
        QCOMPARE(t.rows.size(), std::size_t(1));
        QCOMPARE(t.rows[0][*t.indexOf(QStringLiteral("jiaoshi"))].toString(), read);
    }

    // A dBASE text field is blank-padded; a text that ends in blanks is closed by a NUL so that its
    // blanks are not taken for padding. Every other text is written as it always was, and a file of
    // the earlier writers (the same field without the NUL) reads as it always did. shapelib, reading
    // for other programs, gives the same text from both.
    void dbaseTextEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("field"); // jiaoshi, 15 bytes
        QTest::addColumn<QString>("earlier");  // read from the field without the NUL
        const auto gbk = [](const char* text) { return *Gbk::encode(QString::fromUtf8(text)); };
        QTest::newRow("plain") << "张三" << gbk("张三") + QByteArray(11, ' ') << "张三";
        QTest::newRow("empty") << "" << QByteArray(15, ' ') << "";
        QTest::newRow("leading blank") << " 名" << gbk(" 名") + QByteArray(12, ' ') << " 名";
        QTest::newRow("blank at both ends") << " 名 " << gbk(" 名 ") + '\0' + QByteArray(10, ' ') << " 名";
        QTest::newRow("a blank only") << " " << QByteArray(" ") + '\0' + QByteArray(13, ' ') << "";
        QTest::newRow("two blanks inside and after")
            << "张  三  " << gbk("张  三  ") + '\0' + QByteArray(6, ' ') << "张  三";
        QTest::newRow("blank at the end of 14 bytes")
            << "一二三四五六a " << gbk("一二三四五六a ") + '\0' << "一二三四五六a";
    }
    void dbaseTextEnd()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, field);
        QFETCH(QString, earlier);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.dbf"));
        DbaseFile::write(path, table({row(text)}));
        QByteArray b = readFile(path);
        const qsizetype at = dbaseFieldAt(b, "jiaoshi");
        QVERIFY(at > 0);
        QCOMPARE(b.mid(at, 15), field);
        QCOMPARE(DbaseFile::read(path).rows[0][*table({}).indexOf(QStringLiteral("jiaoshi"))].toString(), text);
        const QString shapelibReads = shapelibText(path, "jiaoshi");

        b.replace(at, 15, QByteArray(field).replace('\0', ' '));
        writeBytes(path, b);
        QCOMPARE(DbaseFile::read(path).rows[0][*table({}).indexOf(QStringLiteral("jiaoshi"))].toString(), earlier);
        QCOMPARE(shapelibReads, shapelibText(path, "jiaoshi"));
    }

    // A text whose last blank a dBASE field cannot keep is refused by name, not shortened.
    void dbaseRefusalNamesTheText()
    {
        QTemporaryDir dir;
        QVariantList r = row();
        set(r, QStringLiteral("jiaoyanshi"), QStringLiteral("计算机科学与技术系教研室 ")); // 25 bytes
        try {
            DbaseFile::write(dir.filePath(QStringLiteral("bt.dbf")), table({row(), r}));
            QFAIL("the text was written without its blank");
        } catch (const ExchangeFileError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("jiaoyanshi: \"计算机科学与技术系教研室 \"")),
                     qPrintable(e.text()));
        }
        QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // A destination whose name is as long as a name can be is written: the file is not first
    // written under a longer name.
    void longestFileName_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("dbt") << QStringLiteral("dbt");
        QTest::newRow("dbf") << QStringLiteral("dbf");
    }
    void longestFileName()
    {
        QFETCH(QString, format);
        QTemporaryDir dir;
        const QString name = QString(251, u'n') + u'.' + format;
        const QString path = dir.filePath(name);
        writeTable(format, path, table(threeRows()));
        QCOMPARE(readTable(format, path).rows.size(), std::size_t(3));
        writeTable(format, path, table({row()})); // over the earlier file
        QCOMPARE(readTable(format, path).rows.size(), std::size_t(1));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{name});
    }

    // A few hundred mutations of a good file: each is read or refused, never a crash or a hang.
    void mutatedFiles_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("dbt") << QStringLiteral("dbt");
        QTest::newRow("dbf") << QStringLiteral("dbf");
    }

    void mutatedFiles()
    {
        QFETCH(QString, format);
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("good.") + format);
        writeTable(format, good, table(threeRows()));
        const QByteArray original = readFile(good);
        const QString path = dir.filePath(QStringLiteral("bad.") + format);
        QRandomGenerator random(format == u"dbt" ? 1 : 2);
        int refused = 0, read = 0;
        for (int i = 0; i < 300; ++i) {
            QByteArray b = original;
            const int edits = 1 + int(random.bounded(8));
            for (int e = 0; e < edits; ++e) {
                const int range =
                    random.bounded(2) ? std::min<int>(b.size(), format == u"dbt" ? 0x800 : 1400) : int(b.size());
                b[int(random.bounded(range))] = char(random.generate());
            }
            if (random.bounded(4) == 0)
                b.truncate(int(random.bounded(int(b.size()))));
            writeBytes(path, b);
            try {
                const ExchangeTable t = readTable(format, path);
                QVERIFY(t.rows.size() <= 3);
                ++read;
            } catch (const ExchangeFileError&) {
                ++refused;
            }
        }
        QCOMPARE(read + refused, 300);
        QVERIFY(refused > 30);
    }
};

QTEST_GUILESS_MAIN(TestExchangeFormats)
#include "tst_exchange_formats.moc"
