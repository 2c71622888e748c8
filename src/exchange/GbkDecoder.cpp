#include "exchange/GbkDecoder.h"

#include "exchange/GbkConverterError.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

GbkDecoder::~GbkDecoder()
{
    // Closing a converter that this object opened fails only for a descriptor that is not one:
    // there is nothing to report or undo.
    if (m_iconv)
        iconv_close(static_cast<iconv_t>(m_iconv));
}

void* GbkDecoder::converter()
{
    if (!m_iconv) {
        const iconv_t cd = iconv_open("UTF-8", m_encoding);
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            const int error = errno;
            throw GbkConverterError(
                QStringLiteral("无法打开GBK字符转换器: %1").arg(QString::fromLocal8Bit(std::strerror(error))));
        }
        m_iconv = cd;
    }
    return m_iconv;
}

std::optional<std::string_view> GbkDecoder::utf8(const char* data, int size)
{
    bool ascii = true;
    for (int i = 0; i < size && ascii; ++i)
        ascii = static_cast<unsigned char>(data[i]) < 0x80;
    if (ascii) // the same bytes in both encodings
        return std::string_view(data, std::size_t(size));

    const QByteArray key = QByteArray::fromRawData(data, size);
    auto found = m_seen.constFind(key);
    if (found == m_seen.constEnd()) {
        const auto cd = static_cast<iconv_t>(converter());
        QByteArray out(qsizetype(size) * 2 + 4, '\0');
        char* src = const_cast<char*>(data);
        size_t srcLeft = std::size_t(size);
        char* dst = out.data();
        size_t dstLeft = std::size_t(out.size());
        iconv(cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state: this cannot fail
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) || srcLeft != 0)
            return std::nullopt;
        out.truncate(out.size() - qsizetype(dstLeft));
        found = m_seen.insert(QByteArray(data, size), out);
    }
    return std::string_view(found->constData(), std::size_t(found->size()));
}
