#include "stats/StatsRequest.h"

#include <QRegularExpression>

std::optional<qint64> StatsRequest::hundredths(const QString& text)
{
    static const QRegularExpression plain(QStringLiteral("^(-?)(\\d{1,12})(?:\\.(\\d{0,2}))?$"));
    const QRegularExpressionMatch m = plain.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const qint64 whole = m.captured(2).toLongLong();
    const QString decimals = (m.captured(3) + QStringLiteral("00")).left(2);
    const qint64 value = whole * 100 + decimals.toLongLong();
    return m.captured(1).isEmpty() ? value : -value;
}

QString StatsRequest::amountText(qint64 hundredths)
{
    const qint64 magnitude = hundredths < 0 ? -hundredths : hundredths;
    QString text = QString::number(magnitude / 100);
    if (const qint64 cents = magnitude % 100; cents != 0) {
        text += u'.' + QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
        while (text.endsWith(u'0'))
            text.chop(1);
    }
    return hundredths < 0 ? u'-' + text : text;
}
