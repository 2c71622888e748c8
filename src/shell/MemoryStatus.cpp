#include "shell/MemoryStatus.h"

#include <QFile>
#include <QHash>
#include <QList>

namespace {

// "MemTotal:       16318480 kB" -> name and size in bytes.
QHash<QByteArray, quint64> meminfoFields(const QByteArray& meminfo)
{
    QHash<QByteArray, quint64> fields;
    const QList<QByteArray> lines = meminfo.split('\n');
    for (const QByteArray& line : lines) {
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QList<QByteArray> parts = line.mid(colon + 1).simplified().split(' ');
        bool ok = false;
        const quint64 amount = parts.value(0).toULongLong(&ok);
        if (!ok)
            continue;
        const quint64 unit = parts.value(1) == "kB" ? 1024 : 1;
        fields.insert(line.left(colon).trimmed(), amount * unit);
    }
    return fields;
}

} // namespace

MemoryStatus MemoryStatus::current()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // /proc files report size 0: read until the end rather than by size.
    return fromMeminfo(file.readAll());
}

MemoryStatus MemoryStatus::fromMeminfo(const QByteArray& meminfo)
{
    const QHash<QByteArray, quint64> fields = meminfoFields(meminfo);
    const quint64 total = fields.value("MemTotal");
    // Kernels before 3.14 have no MemAvailable; free plus page cache is the usual estimate there.
    const quint64 available = fields.contains("MemAvailable")
                                  ? fields.value("MemAvailable")
                                  : fields.value("MemFree") + fields.value("Buffers") + fields.value("Cached");
    return {total, loadPercent(total, available)};
}

int MemoryStatus::loadPercent(quint64 totalBytes, quint64 availableBytes)
{
    if (totalBytes == 0)
        return 0;
    const quint64 used = availableBytes >= totalBytes ? 0 : totalBytes - availableBytes;
    // Nearest whole percent: the figure is an approximation either way, and rounding keeps its error
    // under half a percent in both directions. used * 100 stays below 2^64 up to 184 PB of memory.
    return int((used * 100 + totalBytes / 2) / totalBytes);
}
