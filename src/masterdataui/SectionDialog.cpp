#include "masterdataui/SectionDialog.h"

#include "masterdata/Sections.h"
#include "masterdata/SettingsRecord.h"
#include "store/DataModule.h"

#include <QLineEdit>

SectionDialog::SectionDialog(DataModule& data, QWidget* parent)
    : MasterDataDialog(data, *data.dtbmdm, QStringLiteral("bmdm1"), QStringLiteral("录入教研室资料"), parent),
      m_code(addText("Edit1", QStringLiteral("教研室代码:"), QStringLiteral("bmdm"))),
      m_name(addText("Edit2", QStringLiteral("教研室名称:"), QStringLiteral("bmmc")))
{
    chainEnter({m_code, m_name});
}

Outcome SectionDialog::save(Mode mode, const QString& oldKey)
{
    Sections sections(data());
    if (mode == Mode::Add)
        return sections.add(SettingsRecord(*data().Tbsystem).faculty(), m_code->text(), m_name->text());
    return sections.edit(oldKey, m_code->text(), m_name->text());
}
