#include "exchange/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace NumberText {

int shortestChars(double value, char* out)
{
    if (value == 0 || !std::isfinite(value)) {
        out[0] = '0';
        return 1;
    }
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return int(std::to_chars(out, out + 32, qint64(value)).ptr - out);

    char sci[32];
    const char* end = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific).ptr;
    const std::string_view text(sci, std::size_t(end - sci)); // "-d.ddde+XX"
    const std::size_t e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), end, exponent);
    if (exponent < -5 || exponent >= 17) {
        std::copy(text.begin(), text.end(), out);
        return int(text.size());
    }
    char digits[24];
    int count = 0;
    for (char c : text.substr(0, e))
        if (c >= '0' && c <= '9')
            digits[count++] = c;

    char* p = out;
    if (text.front() == '-')
        *p++ = '-';
    if (exponent < 0) {
        *p++ = '0';
        *p++ = '.';
        for (int z = 0; z < -exponent - 1; ++z)
            *p++ = '0';
        p = std::copy(digits, digits + count, p);
    } else {
        const int intDigits = exponent + 1;
        if (count <= intDigits) {
            p = std::copy(digits, digits + count, p);
            for (int z = count; z < intDigits; ++z)
                *p++ = '0';
        } else {
            p = std::copy(digits, digits + intDigits, p);
            *p++ = '.';
            p = std::copy(digits + intDigits, digits + count, p);
        }
    }
    return int(p - out);
}

QString shortest(double value)
{
    char buf[32];
    return QString::fromLatin1(buf, shortestChars(value, buf));
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
