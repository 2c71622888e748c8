#include "GbkDecoder.h"

#include <iconv.h>

#include <string>

GbkDecoder::GbkDecoder() : m_iconv(iconv_open("UTF-8", "GBK")) {}

GbkDecoder::~GbkDecoder()
{
    if (m_iconv != reinterpret_cast<void*>(-1))
        iconv_close(static_cast<iconv_t>(m_iconv));
}

std::optional<QString> GbkDecoder::decode(const char* data, int size)
{
    const QByteArray key = QByteArray::fromRawData(data, size);
    const auto found = m_seen.constFind(key);
    if (found != m_seen.constEnd())
        return *found;
    bool ascii = true;
    for (int i = 0; i < size && ascii; ++i)
        ascii = static_cast<unsigned char>(data[i]) < 0x80;
    QString text;
    if (ascii) {
        text = QString::fromLatin1(data, size);
    } else {
        if (m_iconv == reinterpret_cast<void*>(-1))
            return std::nullopt;
        const auto cd = static_cast<iconv_t>(m_iconv);
        std::string out(std::size_t(size) * 2 + 4, '\0');
        char* src = const_cast<char*>(data);
        size_t srcLeft = std::size_t(size);
        char* dst = out.data();
        size_t dstLeft = out.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) || srcLeft != 0)
            return std::nullopt;
        text = QString::fromUtf8(out.data(), qsizetype(out.size() - dstLeft));
    }
    m_seen.insert(QByteArray(data, size), text);
    return text;
}
