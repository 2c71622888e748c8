#include "masterdataui/SectionDialog.h"

#include "masterdata/Sections.h"
#include "masterdata/SettingsRecord.h"
#include "store/DataModule.h"

#include <QLineEdit>

SectionDialog::SectionDialog(DataModule& data, QWidget* parent)
    : MasterDataDialog(data, *data.dtbmdm, QStringLiteral("bmdm1"), QStringLiteral("录入教研室资料"), parent),
      m_code(addText("Edit1", QStringLiteral("教研室代码:"))), m_name(addText("Edit2", QStringLiteral("教研室名称:")))
{
    chainEnter({m_code, m_name});
}

void SectionDialog::setDefaults()
{
    m_code->clear();
    m_name->clear();
}

void SectionDialog::loadCurrentRow()
{
    m_code->setText(list().fieldByName(QStringLiteral("bmdm")).asString());
    m_name->setText(list().fieldByName(QStringLiteral("bmmc")).asString());
}

Outcome SectionDialog::save(Mode mode, const QString& oldKey)
{
    Sections sections(data());
    if (mode == Mode::Add)
        return sections.add(SettingsRecord(*data().Tbsystem).faculty(), m_code->text(), m_name->text());
    return sections.edit(oldKey, m_code->text(), m_name->text());
}
