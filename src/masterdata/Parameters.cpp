#include "masterdata/Parameters.h"

#include "store/DataModule.h"
#include "store/Sql.h"
#include "store/StoreError.h"

#include <QRegularExpression>

#include <cmath>

namespace {

bool isPlainDecimal(const QString& text)
{
    static const QRegularExpression plain(QStringLiteral("^([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    return plain.match(text).hasMatch();
}

} // namespace

std::optional<double> Parameters::decimal(const QString& text)
{
    const bool signed_ = text.startsWith(u'+') || text.startsWith(u'-');
    if (!isPlainDecimal(signed_ ? text.mid(1) : text))
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    // A decimal of hundreds of digits is beyond every double: it would go into the calculation as
    // an infinite value.
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

Outcome Parameters::checkK12(const QString& text)
{
    const std::optional<double> value = decimal(text);
    if (!value)
        return notANumber();
    return *value >= 0 && *value < 0.2 ? Outcome() : outOfRange();
}

Outcome Parameters::checkS3(const QString& text)
{
    return isPlainDecimal(text) && decimal(text) ? Outcome() : notANumber();
}

Outcome Parameters::checkK31(const QString& text)
{
    const std::optional<double> value = decimal(text);
    if (!value)
        return notANumber();
    return *value >= 0 && *value <= 1 ? Outcome() : outOfRange();
}

Outcome Parameters::notANumber()
{
    return Outcome::refused(Outcome::Status::NotANumber, NotANumberText);
}

Outcome Parameters::outOfRange()
{
    return Outcome::refused(Outcome::Status::OutOfRange, OutOfRangeText);
}

void Parameters::openLists()
{
    for (Query* list : {m_data.dtk12, m_data.dts3})
        if (!list->isActive())
            list->open();
}

QString Parameters::readK31()
{
    Query* q = m_data.xssj2;
    q->setStatement({QStringLiteral("select fenlie,k11 from sysparameter where fenlie=10")});
    q->open();
    return q->eof() ? QString() : q->fieldByName(QStringLiteral("k11")).asString();
}

Outcome Parameters::setK12(const QString& text, const QString& shuoming, const QString& yan)
{
    if (const Outcome check = checkK12(text); !check.ok())
        return check;
    const Query::Bookmark noted = m_data.dtk12->getBookmark();
    // The number goes in as typed; no category condition, so both categories' rows of that
    // description and student group change.
    if (!execute({QStringLiteral("update sysparameter set k12 =") + text,
                  QStringLiteral("where  shuoming=%1 and yan=%2").arg(Sql::quote(shuoming), Sql::quote(yan))}))
        return notANumber();
    m_data.dtk12->close();
    m_data.dtk12->open();
    m_data.dtk12->gotoBookmark(noted);
    return {};
}

Outcome Parameters::setS3(const QString& text, const QString& shuoming)
{
    if (const Outcome check = checkS3(text); !check.ok())
        return check;
    const Query::Bookmark noted = m_data.dts3->getBookmark();
    if (!execute({QStringLiteral("update sysparameter set k11 =") + Sql::quote(text),
                  QStringLiteral("where fenlie=9 and shuoming=") + Sql::quote(shuoming)}))
        return notANumber();
    m_data.dts3->close();
    m_data.dts3->open();
    m_data.dts3->gotoBookmark(noted);
    return {};
}

Outcome Parameters::setK31(const QString& text)
{
    if (const Outcome check = checkK31(text); !check.ok())
        return check;
    if (!execute(
            {QStringLiteral("update sysparameter set k11 =") + Sql::quote(text), QStringLiteral("where fenlie=10")}))
        return notANumber();
    return {};
}

bool Parameters::execute(const QStringList& lines)
{
    try {
        m_data.xssj2->setStatement(lines);
        m_data.xssj2->execSql();
        return true;
    } catch (const StoreError& e) {
        // The text has passed its check: only a refusal of the value is the operator's to mend.
        e.throwIfStoreState();
        return false;
    }
}
