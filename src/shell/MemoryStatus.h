#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The machine's physical memory as the About box shows it.
struct MemoryStatus
{
    quint64 totalPhysicalBytes = 0;
    int memoryLoadPercent = 0; // share of physical memory in use, 0 to 100

    // Reads /proc/meminfo; zeros when it cannot be read.
    static MemoryStatus current();
    // The figures of a /proc/meminfo text (MemTotal, MemAvailable in kB).
    static MemoryStatus fromMeminfo(const QByteArray& meminfo);
    // Whole percent of total in use, rounded to the nearest; 0 when total is 0.
    static int loadPercent(quint64 totalBytes, quint64 availableBytes);
};
