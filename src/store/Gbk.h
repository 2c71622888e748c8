#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>

// Conversion between the program's text (UTF-8 / QString) and GBK (code page 936),
// the encoding every width of the store and of the exchange files is counted in.
namespace Gbk {

// GBK bytes of a UTF-8 text, or nullopt when a character has no GBK form.
std::optional<QByteArray> fromUtf8(std::string_view utf8);
std::optional<QByteArray> encode(const QString& text);

// Writes the GBK form of a UTF-8 text into out, at most `capacity` bytes of it; returns the
// length of the whole form (more than `capacity` when it does not fit), or -1 when a character
// has no GBK form.
long long encodeInto(std::string_view utf8, char* out, long long capacity);

// Number of GBK bytes of a UTF-8 text, or -1 when a character has no GBK form.
long long length(std::string_view utf8);
long long length(const QString& text);

// Text of GBK bytes; nullopt when the bytes are not valid GBK. Throws StoreError when the
// system's GBK converter cannot be opened.
std::optional<QString> decode(const QByteArray& gbk);

// Why the GBK table of widths and order could not be built; empty when it was. A store
// connection refuses to start without it.
QString converterFailure();

// The store's refusal of a text that has no GBK form ("文字含有GBK不能表示的字符: <text>"), and
// whether a store message is one: it names the real reason, which a screen can show as it is.
QString unrepresentableMessage(const QString& text);
bool isUnrepresentableMessage(const QString& message);

// Orders two UTF-8 texts by their GBK bytes (pinyin order for common characters).
// Texts without a GBK form sort after those with one, among themselves by UTF-8 bytes.
int compareUtf8(std::string_view a, std::string_view b);

} // namespace Gbk
