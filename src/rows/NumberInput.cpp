#include "rows/NumberInput.h"

#include <QRegularExpression>

#include <cmath>

namespace NumberInput {

bool toWholeNumber(const QString& text, int* value)
{
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    const QString t = text.trimmed();
    if (!whole.match(t).hasMatch())
        return false;
    bool ok = false;
    const int v = t.toInt(&ok);
    if (ok && value)
        *value = v;
    return ok;
}

bool toDecimal(const QString& text, double* value)
{
    if (!isNumberLiteral(text))
        return false;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (value)
        *value = v;
    return true;
}

bool isNumberLiteral(const QString& text)
{
    // "1e999" has the form of a number but would be stored as an infinite figure.
    bool finite = false;
    const double value = text.trimmed().toDouble(&finite);
    if (!finite || !std::isfinite(value))
        return false;
    // Only ASCII digits: full-width digits and other scripts are not numbers here.
    static const QRegularExpression literal(QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    return literal.match(text.trimmed()).hasMatch();
}

} // namespace NumberInput
