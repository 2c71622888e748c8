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
    // The converter is opened with the first text that is not plain ASCII; tests name an
    // encoding the system lacks.
    explicit GbkDecoder(const char* encoding = "GBK") : m_encoding(encoding) {}
    ~GbkDecoder();
    GbkDecoder(const GbkDecoder&) = delete;
    GbkDecoder& operator=(const GbkDecoder&) = delete;

    // The UTF-8 form, valid as long as both the decoder and the given bytes are; nullopt when the
    // bytes are not GBK. Throws GbkConverterError when the converter cannot be opened.
    std::optional<std::string_view> utf8(const char* data, int size);

private:
    void* converter();

    const char* m_encoding;
    void* m_iconv = nullptr;
    QHash<QByteArray, QByteArray> m_seen;
};
