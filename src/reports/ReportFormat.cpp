#include "reports/ReportFormat.h"

#include <charconv>
#include <cmath>
#include <string>

namespace ReportFormat {

namespace {

constexpr int significantDigits = 15;

// The 15 significant digits of |value| and the power of ten of the first one.
struct Digits
{
    std::string digits;
    int exponent = 0;
};

Digits digitsOf(double magnitude)
{
    char buf[40];
    const auto end =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, significantDigits - 1).ptr;
    Digits d;
    const char* p = buf;
    for (; p != end && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits += *p;
    if (p != end)
        std::from_chars(p + (p[1] == '+' ? 2 : 1), end, d.exponent);
    return d;
}

// Digits from max(exponent, 0) down to the hundredths, rounded on the thousandths digit.
std::string roundedDigits(const Digits& d)
{
    auto digitAt = [&](int power) {
        const int i = d.exponent - power;
        return i >= 0 && i < int(d.digits.size()) ? d.digits[std::size_t(i)] : '0';
    };
    std::string fixed;
    for (int power = std::max(d.exponent, 0); power >= -2; --power)
        fixed += digitAt(power);
    if (digitAt(-3) >= '5') {
        int i = int(fixed.size()) - 1;
        while (i >= 0 && fixed[std::size_t(i)] == '9')
            fixed[std::size_t(i--)] = '0';
        if (i >= 0)
            ++fixed[std::size_t(i)];
        else
            fixed.insert(fixed.begin(), '1');
    }
    return fixed;
}

} // namespace

QString general(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    char buf[40];
    const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, significantDigits).ptr;
    return QString::fromLatin1(buf, int(end - buf));
}

QString general(const std::optional<double>& value)
{
    return value ? general(*value) : QString();
}

QString hundredthsText(double value)
{
    if (!std::isfinite(value))
        return general(value);
    const std::string fixed = roundedDigits(digitsOf(std::fabs(value)));
    std::string whole = fixed.substr(0, fixed.size() - 2);
    std::string decimals = fixed.substr(fixed.size() - 2);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    while (!decimals.empty() && decimals.back() == '0')
        decimals.pop_back();
    if (whole == "0" && decimals.empty())
        return QStringLiteral("0");
    std::string text = value < 0 ? "-" + whole : whole;
    if (!decimals.empty())
        text += "." + decimals;
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

double hundredths(double value)
{
    const QByteArray text = hundredthsText(value).toLatin1();
    double result = 0;
    std::from_chars(text.constData(), text.constData() + text.size(), result);
    return result;
}

QString picture(double value)
{
    QString text = hundredthsText(value);
    if (text == u"0")
        return {};
    if (text.startsWith(u"0."))
        text.remove(0, 1);
    else if (text.startsWith(u"-0."))
        text.remove(1, 1);
    return text;
}

QString dateTime(const QDateTime& moment)
{
    // The Chinese (China) desktop's short date "yyyy/M/d" and long time "H:mm:ss", spelled out
    // rather than taken from QLocale: Qt's long time format for this locale names the time zone,
    // which would make the printed line depend on the machine it was made on.
    const QString date = moment.date().toString(QStringLiteral("yyyy/M/d"));
    if (moment.time() == QTime(0, 0))
        return date;
    return date + u' ' + moment.time().toString(QStringLiteral("H:mm:ss"));
}

} // namespace ReportFormat
