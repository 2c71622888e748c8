#include "masterdataui/FacultyDialog.h"

#include "masterdata/Faculties.h"
#include "store/DataModule.h"

#include <QLineEdit>

FacultyDialog::FacultyDialog(DataModule& data, QWidget* parent)
    : MasterDataDialog(data, *data.dtbmdm, QStringLiteral("ybdm1"), QStringLiteral("录入院部资料"), parent),
      m_name(addText("Edit1", QStringLiteral("院部名称:"), QStringLiteral("mc")))
{
    chainEnter({m_name});
}

Outcome FacultyDialog::save(Mode mode, const QString& oldKey)
{
    Faculties faculties(data());
    return mode == Mode::Add ? faculties.add(m_name->text()) : faculties.rename(oldKey, m_name->text());
}
