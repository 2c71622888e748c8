#include "store/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace NumberFormat {

QString general(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return QString::fromLatin1(buf);
}

QString twoDecimals(double value)
{
    if (!std::isfinite(value))
        return general(value);
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e15)
        return general(std::round(value));
    // 15 significant digits as the decimal text "d.dddddddddddddde±x".
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);
    char digits[16];
    int n = 0;
    for (const char* p = buf; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits[n++] = *p;
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    // Digit i stands for 10^(exponent - i); the last one kept stands for 10^-2.
    const int last = exponent + 2;
    unsigned long long hundredths = 0;
    for (int i = 0; i <= last && i < n; ++i)
        hundredths = hundredths * 10 + unsigned(digits[i] - '0');
    for (int i = n; i <= last; ++i)
        hundredths *= 10;
    if (last + 1 >= 0 && last + 1 < n && digits[last + 1] >= '5')
        ++hundredths;
    if (hundredths == 0)
        return QStringLiteral("0");
    QString text = QString::number(hundredths / 100);
    const unsigned cents = unsigned(hundredths % 100);
    if (cents != 0) {
        text += u'.';
        text += QChar(u'0' + cents / 10);
        if (cents % 10 != 0)
            text += QChar(u'0' + cents % 10);
    }
    return value < 0 ? u'-' + text : text;
}

} // namespace NumberFormat
