#include "EntrySupport.h"

#include "LoginState.h"
#include "Query.h"
#include "Tdmmsdb.h"

#include <QRegularExpression>

#include <cmath>

namespace EntrySupport {

Teacher lookUpTeacher()
{
    Query* q = dmmsdb->dtbmdm2;
    q->setStatement(
        {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and ") + loginState().NodeFilter});
    q->open();
    Teacher t;
    if (q->recordCount() > 0) {
        t.rymc = q->fieldByName(QStringLiteral("rymc")).asString();
        t.ybmc = q->fieldByName(QStringLiteral("ybmc")).asString();
        t.bmmc = q->fieldByName(QStringLiteral("bmmc")).asString();
        t.ryxz = q->fieldByName(QStringLiteral("ryxz")).asString();
        t.ryzc = q->fieldByName(QStringLiteral("ryzc")).asString();
        t.rygw = q->fieldByName(QStringLiteral("rygw")).asString();
    }
    return t;
}

QString currentYear()
{
    TableObject* settings = dmmsdb->Tbsystem;
    if (!settings->isActive())
        settings->activate();
    return settings->fieldByName(QStringLiteral("Nd")).asString();
}

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
    // Only ASCII digits: full-width digits and other scripts are not numbers here.
    static const QRegularExpression literal(QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    return literal.match(text.trimmed()).hasMatch();
}

void reopen(Query* holder)
{
    if (holder->lines().isEmpty())
        return;
    holder->close();
    holder->open();
}

} // namespace EntrySupport
