#include "shell/LaunchCounter.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Seed = QMap<QString, QString>; // value name under the counter's key -> stored text

QString valuePath(const QString& name)
{
    return LaunchCounter::KeyPath + QLatin1Char('/') + name;
}

// A settings file in a throw-away directory, standing in for the machine's settings store.
class SettingsFile
{
public:
    QString path() const { return m_dir.filePath(QStringLiteral("registry.ini")); }

    void seed(const Seed& values) const
    {
        QSettings settings(path(), QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            settings.setValue(valuePath(it.key()), it.value());
    }

    // What a later launch finds: every value under the counter's key.
    Seed stored() const
    {
        QSettings settings(path(), QSettings::IniFormat);
        settings.beginGroup(LaunchCounter::KeyPath);
        Seed values;
        for (const QString& name : settings.childKeys())
            values.insert(name, settings.value(name).toString());
        return values;
    }

    // One program start: a fresh settings object, as each process has.
    std::pair<QString, QString> launch() const
    {
        QSettings settings(path(), QSettings::IniFormat);
        LaunchCounter counter(settings);
        const QString message = counter.countLaunch().value_or(QString());
        return {message, counter.keptCount()};
    }

private:
    QTemporaryDir m_dir;
};

// A settings format that reads "name=value" lines and refuses every write, so that a write failure
// can be shown even to a test running as root (who may write any file).
bool readLines(QIODevice& device, QSettings::SettingsMap& map)
{
    const QList<QByteArray> lines = device.readAll().split('\n');
    for (const QByteArray& line : lines) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            map.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    return true;
}
bool refuseWrite(QIODevice&, const QSettings::SettingsMap&)
{
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Seed)

class TestLaunchCounter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_refusingFormat = QSettings::registerFormat(QStringLiteral("ro"), readLines, refuseWrite); }

    void countsOneLaunch_data()
    {
        QTest::addColumn<Seed>("before");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<Seed>("after");
        const QString v = LaunchCounter::ValueName;
        QTest::newRow("first launch creates the key with 0") << Seed{} << "0" << Seed{{v, "0"}};
        QTest::newRow("second launch writes 1") << Seed{{v, "0"}} << "0" << Seed{{v, "1"}};
        QTest::newRow("already 41") << Seed{{v, "41"}} << "41" << Seed{{v, "42"}};
        QTest::newRow("not a number counts as 0") << Seed{{v, "abc"}} << "0" << Seed{{v, "1"}};
        QTest::newRow("fraction counts as 0") << Seed{{v, "4.5"}} << "0" << Seed{{v, "1"}};
        QTest::newRow("empty value counts as 0") << Seed{{v, ""}} << "0" << Seed{{v, "1"}};
        QTest::newRow("key without the value") << Seed{{"Other", "x"}} << "0" << Seed{{"Other", "x"}, {v, "1"}};
        QTest::newRow("value name in another case is the same value")
            << Seed{{"value1", "7"}} << "7" << Seed{{"value1", "8"}};
    }
    void countsOneLaunch()
    {
        QFETCH(Seed, before);
        QFETCH(QString, kept);
        QFETCH(Seed, after);
        SettingsFile file;
        file.seed(before);
        const auto [message, keptCount] = file.launch();
        QCOMPARE(message, QString());
        QCOMPARE(keptCount, kept);
        QCOMPARE(file.stored(), after);
    }

    void launchesInSequence()
    {
        SettingsFile file;
        const QStringList expectedKept{"0", "0", "1", "2"};
        for (int launch = 0; launch < expectedKept.size(); ++launch) {
            QCOMPARE(file.launch().second, expectedKept[launch]);
            QCOMPARE(file.stored().value(LaunchCounter::ValueName), QString::number(launch));
        }
    }

    void programStoreIsAnIniFileOfTheUser()
    {
        const auto settings = LaunchCounter::openUserSettings();
        QCOMPARE(settings->scope(), QSettings::UserScope);
        QCOMPARE(settings->format(), QSettings::IniFormat);
        QVERIFY(settings->fileName().endsWith(QStringLiteral("/workload/registry.ini")));
    }

    void failedWritesAreReported_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no settings file
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("kept");
        QTest::newRow("key missing, cannot be created") << QByteArray() << LaunchCounter::ErrorOpeningCreatedKey << "0";
        QTest::newRow("key present, cannot be rewritten")
            << QByteArray("Software/Kestrel Demo/tf/Value1=41\n") << LaunchCounter::ErrorOpeningKey << "41";
    }
    void failedWritesAreReported()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(QString, kept);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("registry.ro"));
        if (!content.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QSettings settings(path, m_refusingFormat);
        LaunchCounter counter(settings);
        QCOMPARE(counter.countLaunch().value_or(QString()), message);
        QCOMPARE(counter.keptCount(), kept);
    }

    void unwritableLocationReportsCreatedKey()
    {
        // The settings file's directory would have to be made inside a plain file: nobody can write there.
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettings settings(dir.filePath(QStringLiteral("blocker/registry.ini")), QSettings::IniFormat);
        LaunchCounter counter(settings);
        QCOMPARE(counter.countLaunch().value_or(QString()), LaunchCounter::ErrorOpeningCreatedKey);
        QCOMPARE(counter.keptCount(), QStringLiteral("0"));
    }

private:
    QSettings::Format m_refusingFormat = QSettings::InvalidFormat;
};

QTEST_GUILESS_MAIN(TestLaunchCounter)
#include "tst_launch_counter.moc"
