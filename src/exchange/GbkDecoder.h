#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// Decodes the GBK texts of one exchange file. Files repeat the same names over and over, so
// each distinct text is converted once and then shared.
class GbkDecoder
{
public:
    GbkDecoder();
    ~GbkDecoder();
    GbkDecoder(const GbkDecoder&) = delete;
    GbkDecoder& operator=(const GbkDecoder&) = delete;

    // nullopt when the bytes are not GBK.
    std::optional<QString> decode(const char* data, int size);

private:
    void* m_iconv;
    QHash<QByteArray, QString> m_seen;
};
