#pragma once

#include "exchange/ExchangeValue.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <span>

// The rows of one table that repeat a key of an earlier row (a teacher's code, a section's code,
// a faculty's name, a workload row's serial), as the store's keys would refuse them.
class KeyDuplicates
{
public:
    struct Duplicate
    {
        qint64 row;   // counted from 1
        qint64 first; // the row that has the key first
        QString key;
        bool sameRow; // the whole row repeats the first: one thing listed twice
    };

    // `compareRows`: whether to tell rows that repeat the whole of the first from those that
    // only share its key.
    explicit KeyDuplicates(bool compareRows) : m_compareRows(compareRows) {}

    // Notes a row's key; an empty key is none.
    void see(qint64 row, const ExchangeValue& key, std::span<const ExchangeValue> values);

    const QList<Duplicate>& duplicates() const { return m_duplicates; }
    bool taken(const QString& key) const { return m_first.contains(key); }
    // The highest key read as a whole number (0 when none is).
    qint64 highestNumber() const { return m_highest; }

    static QString keyText(const ExchangeValue& key);

private:
    static QByteArray fingerprint(std::span<const ExchangeValue> values);

    bool m_compareRows;
    QHash<QString, std::pair<qint64, QByteArray>> m_first;
    QList<Duplicate> m_duplicates;
    qint64 m_highest = 0;
};
