#include "exchange/GbkDecoder.h"

#include <iconv.h>

GbkDecoder::GbkDecoder() : m_iconv(iconv_open("UTF-8", "GBK")) {}

GbkDecoder::~GbkDecoder()
{
    if (m_iconv != reinterpret_cast<void*>(-1))
        iconv_close(static_cast<iconv_t>(m_iconv));
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
        if (m_iconv == reinterpret_cast<void*>(-1))
            return std::nullopt;
        const auto cd = static_cast<iconv_t>(m_iconv);
        QByteArray out(qsizetype(size) * 2 + 4, '\0');
        char* src = const_cast<char*>(data);
        size_t srcLeft = std::size_t(size);
        char* dst = out.data();
        size_t dstLeft = std::size_t(out.size());
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) || srcLeft != 0)
            return std::nullopt;
        out.truncate(out.size() - qsizetype(dstLeft));
        found = m_seen.insert(QByteArray(data, size), out);
    }
    return std::string_view(found->constData(), std::size_t(found->size()));
}
