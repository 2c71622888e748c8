#pragma once

#include <QString>

#include <optional>
#include <string_view>

// Numbers as statements and exchange files carry them: locale-independent decimal text that
// reads back as exactly the same double.
namespace NumberText {

// The shortest text that reads back as the same double, in plain decimal form ("12", "0.1",
// "123456789.125", "0.3333333333333333") and in exponent form only for very small or very large
// magnitudes ("1e-07"). For values of up to 15 significant digits this is their 15-digit general form.
QString shortest(double value);

// The same text written into `out`, which holds at least 32 characters; returns its length.
int shortestChars(double value, char* out);

// Parses a whole decimal text (surrounding blanks allowed, a leading '+' allowed); nullopt when
// the text is not one number.
std::optional<double> parse(std::string_view text);

} // namespace NumberText
