#include "OldTableWriter.h"
#include "exchange/ExchangeFileError.h"
#include "exchange/ExchangeTableCollector.h"
#include "exchange/ParadoxMemoFile.h"
#include "exchange/ParadoxReader.h"
#include "support/FileChecks.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTest>

extern "C" {
#include <paradox.h>
}

namespace {

using Field = OldTableWriter::Field;

// Every field type the old tables use, one of each, and a second memo kind.
const QList<Field>& allTypes()
{
    static const QList<Field> fields{
        {QStringLiteral("name"), pxfAlpha, 10},        {QStringLiteral("small"), pxfShort, 2},
        {QStringLiteral("whole"), pxfLong, 4},         {QStringLiteral("number"), pxfNumber, 8},
        {QStringLiteral("money"), pxfCurrency, 8},     {QStringLiteral("right"), pxfLogical, 1},
        {QStringLiteral("day"), pxfDate, 4},           {QStringLiteral("memo"), pxfMemoBLOb, 20},
        {QStringLiteral("styled"), pxfFmtMemoBLOb, 12}};
    return fields;
}

ExchangeTable readTable(const QByteArray& data, const QByteArray& memoBytes, bool withMemo = true)
{
    ParadoxReader reader(data);
    reader.requireGbk();
    std::optional<ParadoxMemoFile> memo;
    if (withMemo) {
        memo.emplace(memoBytes);
        reader.setMemoFile(&*memo);
    }
    ExchangeTableCollector collector;
    reader.read(collector);
    return collector.take();
}

} // namespace

class TestOldTables : public QObject
{
    Q_OBJECT
private slots:
    // What pxlib writes comes back value for value: blanks as nulls, a logical as 0 or 1, a date
    // as its day count, memos from the record (short), from a shared block of the memo file and
    // from a block of their own (over 2 KB).
    void everyFieldType()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("t.db")), mb = dir.filePath(QStringLiteral("t.mb"));
        const QString longMemo = QString(1500, QChar(u'条'));
        const QList<QVariantList> rows{
            {QStringLiteral("张三 "), 7, -70000, 0.1, 12.5, true, QDate(2009, 9, 1), QStringLiteral("短"),
             QStringLiteral("fl='理论实验' and yan<>'研究生'")},
            {QVariant(), -3, 2147483647, -1e-7, -0.25, false, QDate(1, 1, 1),
             QStringLiteral("fl='理论实验' and r1>2*s1 and r1<=3*s1"), longMemo},
            {QStringLiteral("x"), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
             QVariant()},
        };
        OldTableWriter::write(db, allTypes(), rows, mb);
        const ExchangeTable t = readTable(readFile(db), readFile(mb));

        QCOMPARE(t.columns.size(), allTypes().size());
        QCOMPARE(t.columns[5].kind, ExchangeColumn::Kind::Logical);
        QCOMPARE(t.columns[6].kind, ExchangeColumn::Kind::Date);
        QCOMPARE(t.columns[7].kind, ExchangeColumn::Kind::Memo);
        QCOMPARE(t.columns[8].kind, ExchangeColumn::Kind::Memo);
        QCOMPARE(t.rows.size(), std::size_t(3));
        const QVariantList& a = t.rows[0];
        QCOMPARE(a[0].toString(), QStringLiteral("张三 "));
        QCOMPARE(a[1].toLongLong(), 7);
        QCOMPARE(a[2].toLongLong(), -70000);
        QVERIFY(a[3].toDouble() == 0.1);
        QVERIFY(a[4].toDouble() == 12.5);
        QCOMPARE(a[5].toLongLong(), 1);
        QCOMPARE(a[6].toLongLong(), QDate(2009, 9, 1).toJulianDay() - 1721425);
        QCOMPARE(a[7].toString(), QStringLiteral("短"));
        QCOMPARE(a[8].toString(), QStringLiteral("fl='理论实验' and yan<>'研究生'"));
        const QVariantList& b = t.rows[1];
        QVERIFY(b[0].toString().isEmpty()); // a blank Alpha field is empty text
        QCOMPARE(b[2].toLongLong(), 2147483647);
        QVERIFY(b[3].toDouble() == -1e-7);
        QCOMPARE(b[5].toLongLong(), 0);
        QCOMPARE(b[6].toLongLong(), 1);
        QCOMPARE(b[7].toString(), QStringLiteral("fl='理论实验' and r1>2*s1 and r1<=3*s1"));
        QCOMPARE(b[8].toString(), longMemo);
        for (int i = 1; i < allTypes().size(); ++i)
            QVERIFY2(!t.rows[2][i].isValid(), qPrintable(allTypes()[i].name));
    }

    // A memo that lies in the memo file cannot be read without it, or through a reference that
    // leads outside it: the table is refused, naming the field.
    void memoFaults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("memo file missing") << 0;
        QTest::newRow("memo file cut short") << 1;
        QTest::newRow("reference past the end") << 2;
    }
    void memoFaults()
    {
        QFETCH(int, fault);
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("t.db")), mb = dir.filePath(QStringLiteral("t.mb"));
        const QList<Field> fields{{QStringLiteral("cond"), pxfMemoBLOb, 15}};
        OldTableWriter::write(db, fields, {{QStringLiteral("fl='理论实验' and yan<>'研究生'")}}, mb);
        QByteArray data = readFile(db);
        QByteArray memo = readFile(mb);
        if (fault == 1)
            memo.truncate(4096 + 100);
        if (fault == 2) {
            // The record's reference: the last ten bytes of the field, its offset first.
            const int record = (quint8(data[2]) | (quint8(data[3]) << 8)) + 6;
            data[record + 5 + 2] = char(0x7f);
        }
        try {
            readTable(data, memo, fault != 0);
            QFAIL("read");
        } catch (const ExchangeFileError& e) {
            QVERIFY2(e.text().contains(u"cond"), qPrintable(e.text()));
        }
    }

    // A header is checked before anything is read: its version must be one that a Paradox
    // release wrote (named in the refusal), its code page GBK's.
    void headerRefusals_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("said");
        QTest::newRow("version 13") << 0x39 << 0x0D << QStringLiteral("unknown Paradox table version 13");
        QTest::newRow("version 2") << 0x39 << 0x02 << QStringLiteral("unknown Paradox table version 2");
        QTest::newRow("code page 1252") << 0x6A << 0xE4 << QStringLiteral("code page 1252");
    }
    void headerRefusals()
    {
        QFETCH(int, at);
        QFETCH(int, value);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("t.db"));
        OldTableWriter::write(db, {{QStringLiteral("a"), pxfAlpha, 4}}, {{QStringLiteral("x")}});
        QByteArray data = readFile(db);
        QCOMPARE(quint8(data[0x6A]) | (quint8(data[0x6B]) << 8), 936);
        data[at] = char(value);
        if (at == 0x6A)
            data[0x6B] = char(0x04);
        try {
            readTable(data, {}, false);
            QFAIL("read");
        } catch (const ExchangeFileError& e) {
            QVERIFY2(e.text().contains(said), qPrintable(e.text()));
        }
    }
};

QTEST_GUILESS_MAIN(TestOldTables)
#include "tst_old_tables.moc"
