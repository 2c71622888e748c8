#include "reports/XlsxText.h"

namespace XlsxText {
namespace {

// XML carries tab and line feed; a carriage return it would turn into a line feed.
bool isControl(QChar c)
{
    return c.unicode() < 0x20 && c != u'\t' && c != u'\n';
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Whether the underscore at `at` would be read as the start of an escape: "x" and four hexadecimal
// digits follow, then an underscore or a control character (written as an escape, so an underscore too).
bool beginsEscape(const QString& text, qsizetype at)
{
    if (at + 6 >= text.size() || text[at] != u'_' || text[at + 1] != u'x')
        return false;
    for (qsizetype i = at + 2; i < at + 6; ++i)
        if (!isHexDigit(text[i]))
            return false;
    return text[at + 6] == u'_' || isControl(text[at + 6]);
}

} // namespace

QByteArray escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isControl(c) || beginsEscape(text, i))
            out += QString::asprintf("_x%04X_", unsigned(c.unicode()));
        else
            out += c;
    }
    return out.toUtf8();
}

} // namespace XlsxText
