#pragma once

#include <QByteArray>
#include <QHash>

#include <optional>
#include <string_view>

// Decodes the GBK texts of one exchange file into UTF-8. Files repeat the same names over and
// over, so each distinct text is converted once and then shared.
class GbkDecoder
{
public:
    GbkDecoder();
    ~GbkDecoder();
    GbkDecoder(const GbkDecoder&) = delete;
    GbkDecoder& operator=(const GbkDecoder&) = delete;

    // The UTF-8 form, valid as long as both the decoder and the given bytes are; nullopt when the
    // bytes are not GBK.
    std::optional<std::string_view> utf8(const char* data, int size);

private:
    void* m_iconv;
    QHash<QByteArray, QByteArray> m_seen;
};
