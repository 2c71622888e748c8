#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace NumberText {

QString shortest(double value)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(qint64(value));

    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const std::string_view sci(buf, std::size_t(r.ptr - buf)); // "-d.ddde+XX"
    const std::size_t e = sci.find('e');
    int exponent = 0;
    std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exponent);
    const bool negative = sci.front() == '-';
    std::string digits;
    for (char c : sci.substr(0, e))
        if (c >= '0' && c <= '9')
            digits += c;

    if (exponent < -5 || exponent >= 17)
        return QString::fromLatin1(sci.data(), qsizetype(sci.size()));

    std::string out = negative ? "-" : "";
    if (exponent < 0) {
        out += "0.";
        out.append(std::size_t(-exponent - 1), '0');
        out += digits;
    } else {
        const std::size_t intDigits = std::size_t(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out.append(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits);
            out += '.';
            out += digits.substr(intDigits);
        }
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString literal(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return shortest(value.toDouble());
    case QMetaType::QString: {
        const QString text = value.toString();
        if (text.trimmed().isEmpty())
            return QStringLiteral("NULL");
        const QByteArray latin = text.toLatin1();
        if (const auto d = parse(std::string_view(latin.constData(), std::size_t(latin.size()))))
            return shortest(*d);
        break;
    }
    default:
        break;
    }
    throw std::invalid_argument("not a number");
}

std::optional<double> parse(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\0'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace NumberText
