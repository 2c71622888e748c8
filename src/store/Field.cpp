#include "store/Field.h"

#include "store/NumberFormat.h"

#include <cmath>
#include <limits>

QString Field::asString() const
{
    if (isNull())
        return {};
    switch (m_value.typeId()) {
    case QMetaType::Double:
        return NumberFormat::general(m_value.toDouble());
    case QMetaType::LongLong:
        return QString::number(m_value.toLongLong());
    default:
        return m_value.toString();
    }
}

double Field::asFloat() const
{
    if (isNull())
        return 0.0;
    if (m_value.typeId() == QMetaType::QString) {
        bool ok = false;
        const double v = m_value.toString().trimmed().toDouble(&ok);
        return ok ? v : 0.0;
    }
    return m_value.toDouble();
}

int Field::asInteger() const
{
    const double v = m_value.typeId() == QMetaType::LongLong ? double(m_value.toLongLong()) : asFloat();
    if (!(v >= std::numeric_limits<int>::min()) || !(v <= std::numeric_limits<int>::max()))
        return 0;
    return int(std::nearbyint(v));
}

bool Field::asBoolean() const
{
    if (isNull())
        return false;
    if (m_value.typeId() == QMetaType::QString) {
        const QString t = m_value.toString().trimmed().toLower();
        return t == u"true" || t == u"t" || t == u"1" || t == u"yes";
    }
    return m_value.toDouble() != 0.0;
}
