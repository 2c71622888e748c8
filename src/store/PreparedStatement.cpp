#include "store/PreparedStatement.h"

void PreparedStatement::bind(int index, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        bindNull(index);
    } else if (value.typeId() == QMetaType::Double) {
        bindNumber(index, value.toDouble());
    } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
               value.typeId() == QMetaType::Bool) {
        bindInteger(index, value.toLongLong());
    } else {
        const QByteArray utf8 = value.toString().toUtf8();
        bindText(index, std::string_view(utf8.constData(), std::size_t(utf8.size())));
    }
}

QString PreparedStatement::textAt(int column) const
{
    const std::string_view t = text(column);
    return QString::fromUtf8(t.data(), qsizetype(t.size()));
}
