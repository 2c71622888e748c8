#include "store/StatementShape.h"

#include <cctype>
#include <cstring>

namespace {

bool isWordByte(unsigned char c)
{
    return std::isalnum(c) || c == '_' || c >= 0x80;
}

bool isKeyword(const char* word, std::size_t length)
{
    for (const char* keyword : {"where", "values", "set"}) {
        if (std::strlen(keyword) != length)
            continue;
        bool same = true;
        for (std::size_t i = 0; i < length && same; ++i)
            same = std::tolower(static_cast<unsigned char>(word[i])) == keyword[i];
        if (same)
            return true;
    }
    return false;
}

} // namespace

std::optional<StatementShape> StatementShape::of(const QByteArray& utf8)
{
    StatementShape shape;
    shape.text.reserve(std::size_t(utf8.size()));
    const char* s = utf8.constData();
    const std::size_t n = std::size_t(utf8.size());
    bool taking = false;
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '-' && i + 1 < n && s[i + 1] == '-') { // comment to the end of the line
            const std::size_t end = std::string_view(s, n).find('\n', i);
            const std::size_t stop = end == std::string_view::npos ? n : end;
            shape.text.append(s + i, stop - i);
            i = stop;
        } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            const std::size_t end = std::string_view(s, n).find("*/", i + 2);
            const std::size_t stop = end == std::string_view::npos ? n : end + 2;
            shape.text.append(s + i, stop - i);
            i = stop;
        } else if (c == '"' || c == '`' || c == '[') { // quoted names stay as they are
            const char close = c == '[' ? ']' : char(c);
            std::size_t j = i + 1;
            while (j < n) {
                if (s[j] == close) {
                    if (close != ']' && j + 1 < n && s[j + 1] == close) { // a doubled quote inside
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            const std::size_t stop = j < n ? j + 1 : n;
            shape.text.append(s + i, stop - i);
            i = stop;
        } else if (c == '\'') {
            std::string value;
            std::size_t j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s[j] == '\'') {
                    if (j + 1 < n && s[j + 1] == '\'') {
                        value.push_back('\'');
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                value.push_back(s[j++]);
            }
            if (!closed)
                return std::nullopt; // the store will say what is wrong with it
            // A blob literal (x'..') is not text.
            const bool blob = i > 0 && (s[i - 1] == 'x' || s[i - 1] == 'X') &&
                              (i < 2 || !isWordByte(static_cast<unsigned char>(s[i - 2])));
            if (taking && !blob) {
                shape.text.push_back('?');
                shape.values.push_back(std::move(value));
            } else {
                shape.text.append(s + i, j + 1 - i);
            }
            i = j + 1;
        } else if (c == '?' || ((c == ':' || c == '@' || c == '$') && i + 1 < n &&
                                isWordByte(static_cast<unsigned char>(s[i + 1])))) {
            return std::nullopt; // parameters of its own
        } else if (isWordByte(c)) {
            std::size_t j = i;
            while (j < n && isWordByte(static_cast<unsigned char>(s[j])))
                ++j;
            if (!taking && isKeyword(s + i, j - i))
                taking = true;
            shape.text.append(s + i, j - i);
            i = j;
        } else {
            shape.text.push_back(char(c));
            ++i;
        }
    }
    if (shape.values.empty())
        return std::nullopt;
    return shape;
}
