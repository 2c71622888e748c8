#include "store/Gbk.h"

#include "store/StoreError.h"

#include <iconv.h>

#include <cerrno>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

namespace {

QString iconvFailure(const char* from, const char* to)
{
    return QStringLiteral("系统的 GBK 编码转换 (iconv %1 → %2) 无法打开: %3")
        .arg(QLatin1String(from), QLatin1String(to), QString::fromLocal8Bit(strerror(errno)));
}

// GBK form of every BMP code point, built once with iconv: bits 0-15 hold the GBK bytes
// (high byte first for two-byte characters), bits 16-17 their count, 0 when there is none.
// GBK has no characters beyond the BMP. A table keeps width checks and collation cheap;
// they run for every stored and compared name.
class GbkTable
{
public:
    static const GbkTable& instance()
    {
        static const GbkTable table;
        return table;
    }

    uint32_t operator[](char32_t cp) const { return cp < m_codes.size() ? m_codes[cp] : 0; }

    // The byte count alone (0 when there is no GBK form), from a table small enough to stay in
    // the processor's cache: width checks and comparisons mostly need only this.
    unsigned count(char32_t cp) const { return cp < m_codes.size() ? (m_counts[cp >> 2] >> ((cp & 3) * 2)) & 3u : 0u; }

private:
    GbkTable()
    {
        m_codes.fill(0);
        for (char32_t cp = 0; cp < 0x80; ++cp)
            m_codes[cp] = (1u << 16) | cp;
        iconv_t cd = iconv_open("GBK", "UTF-32LE");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            // Every store connection has refused to start without it (converterFailure()).
            fillCounts();
            return;
        }
        for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            char in[4] = {char(cp & 0xFF), char((cp >> 8) & 0xFF), 0, 0};
            unsigned char out[8];
            char* src = in;
            size_t srcLeft = 4;
            char* dst = reinterpret_cast<char*>(out);
            size_t dstLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
            const size_t produced = sizeof out - dstLeft;
            if (rc != 0 || (produced != 1 && produced != 2))
                continue; // unmappable, or only approximated
            m_codes[cp] = produced == 1 ? ((1u << 16) | out[0]) : ((2u << 16) | (uint32_t(out[0]) << 8) | out[1]);
        }
        iconv_close(cd);
        fillCounts();
    }

    void fillCounts()
    {
        m_counts.fill(0);
        for (char32_t cp = 0; cp < m_codes.size(); ++cp)
            m_counts[cp >> 2] |= uint8_t(((m_codes[cp] >> 16) & 3u) << ((cp & 3) * 2));
    }

    std::array<uint32_t, 0x10000> m_codes;
    std::array<uint8_t, 0x10000 / 4> m_counts;
};

// Decodes one UTF-8 sequence; returns false on malformed input.
bool nextCodePoint(std::string_view s, size_t& i, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    int extra = 0;
    if (b0 < 0x80) {
        cp = b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        cp = b0 & 0x1F;
        extra = 1;
    } else if ((b0 & 0xF0) == 0xE0) {
        cp = b0 & 0x0F;
        extra = 2;
    } else if ((b0 & 0xF8) == 0xF0) {
        cp = b0 & 0x07;
        extra = 3;
    } else {
        return false;
    }
    if (extra > 0 && i + extra >= s.size())
        return false;
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (b & 0x3F);
    }
    i += 1 + extra;
    return true;
}

bool isAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Appends the GBK bytes of a UTF-8 text to out; false when a character has no GBK form.
template <typename Out> bool toGbk(std::string_view utf8, Out& out)
{
    const GbkTable& table = GbkTable::instance();
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (!nextCodePoint(utf8, i, cp))
            return false;
        const uint32_t code = table[cp];
        if (code == 0 && cp != 0)
            return false;
        if ((code >> 16) == 2)
            out.push_back(char((code >> 8) & 0xFF));
        out.push_back(char(code & 0xFF));
    }
    return true;
}

// Checks that every character of a UTF-8 text has a GBK form and gives the form of the first
// one as a number that orders like its bytes (one-byte forms below every two-byte form).
bool gbkFirst(std::string_view utf8, uint32_t& first)
{
    const GbkTable& table = GbkTable::instance();
    size_t i = 0;
    char32_t cp = 0;
    if (i < utf8.size()) {
        if (!nextCodePoint(utf8, i, cp))
            return false;
        const uint32_t code = table[cp];
        if (code == 0 && cp != 0)
            return false;
        first = (code >> 16) == 2 ? (code & 0xFFFF) : ((code & 0xFF) << 8);
    }
    while (i < utf8.size()) {
        if (!nextCodePoint(utf8, i, cp))
            return false;
        if (table.count(cp) == 0 && cp != 0)
            return false;
    }
    return true;
}

} // namespace

namespace Gbk {

std::optional<QByteArray> fromUtf8(std::string_view utf8)
{
    if (isAscii(utf8))
        return QByteArray(utf8.data(), static_cast<qsizetype>(utf8.size()));
    QByteArray out;
    out.reserve(static_cast<qsizetype>(utf8.size()));
    if (!toGbk(utf8, out))
        return std::nullopt;
    return out;
}

std::optional<QByteArray> encode(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return fromUtf8(std::string_view(utf8.constData(), utf8.size()));
}

long long encodeInto(std::string_view utf8, char* out, long long capacity)
{
    // Writes what fits and counts the rest.
    struct Bounded
    {
        char* out;
        long long capacity;
        long long size = 0;
        void push_back(char c)
        {
            if (size < capacity)
                out[size] = c;
            ++size;
        }
    } bounded{out, capacity};
    if (isAscii(utf8)) {
        std::memcpy(out, utf8.data(), std::size_t(std::min<long long>(capacity, (long long)utf8.size())));
        return static_cast<long long>(utf8.size());
    }
    if (!toGbk(utf8, bounded))
        return -1;
    return bounded.size;
}

long long length(std::string_view utf8)
{
    if (isAscii(utf8))
        return static_cast<long long>(utf8.size());
    const GbkTable& table = GbkTable::instance();
    long long n = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (!nextCodePoint(utf8, i, cp))
            return -1;
        const unsigned bytes = table.count(cp);
        if (bytes == 0 && cp != 0)
            return -1;
        n += bytes;
    }
    return n;
}

long long length(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return length(std::string_view(utf8.constData(), utf8.size()));
}

QString converterFailure()
{
    // Asked at every store connection: opening the converter says it, without building the table.
    static const QString failure = [] {
        const iconv_t cd = iconv_open("GBK", "UTF-32LE");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return iconvFailure("UTF-32LE", "GBK");
        iconv_close(cd);
        return QString();
    }();
    return failure;
}

std::optional<QString> decode(const QByteArray& gbk)
{
    const std::string_view in(gbk.constData(), gbk.size());
    if (isAscii(in))
        return QString::fromLatin1(gbk);
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw StoreError(iconvFailure("GBK", "UTF-8"), {}, StoreError::Kind::Io);
    std::unique_ptr<void, int (*)(iconv_t)> guard(cd, iconv_close);
    std::string out(in.size() * 2 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != 0 || srcLeft != 0)
        return std::nullopt;
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size() - dstLeft));
}

int compareUtf8(std::string_view a, std::string_view b)
{
    if (a == b)
        return 0;
    // A shared leading part orders nothing: compare from the first character that differs.
    size_t common = 0;
    while (common < a.size() && common < b.size() && a[common] == b[common])
        ++common;
    while (common > 0 && ((static_cast<unsigned char>(common < a.size() ? a[common] : b[common]) & 0xC0) == 0x80))
        --common;
    const std::string_view shared = a.substr(0, common);
    a.remove_prefix(common);
    b.remove_prefix(common);
    if (isAscii(a) && isAscii(b))
        return a < b ? -1 : 1;
    // The first differing characters decide between two texts with a GBK form: their GBK forms
    // differ in their first byte already (one-byte forms lie below every lead byte), or in the
    // second. Whether both texts have a GBK form at all still takes a look at every character;
    // the collation runs for every comparison of an index search or a sort, so nothing is copied.
    const bool sharedOk = length(shared) >= 0;
    uint32_t firstA = 0;
    uint32_t firstB = 0;
    const bool okA = sharedOk && gbkFirst(a, firstA);
    const bool okB = sharedOk && gbkFirst(b, firstB);
    if (okA != okB)
        return okA ? -1 : 1;
    if (!okA)
        return a < b ? -1 : 1;
    if (a.empty() || b.empty())
        return a.empty() ? -1 : 1;
    return firstA < firstB ? -1 : 1;
}

namespace {

const QString UnrepresentablePrefix = QStringLiteral("文字含有GBK不能表示的字符: ");

} // namespace

QString unrepresentableMessage(const QString& text)
{
    return UnrepresentablePrefix + text;
}

bool isUnrepresentableMessage(const QString& message)
{
    return message.startsWith(UnrepresentablePrefix);
}

} // namespace Gbk
