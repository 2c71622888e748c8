#include "masterdataui/FacultyScreen.h"

#include "masterdata/Faculties.h"
#include "masterdata/MasterDataText.h"
#include "masterdataui/FacultyDialog.h"
#include "store/DataModule.h"

FacultyScreen::FacultyScreen(DataModule& data, FacultyDialog& dialog, QWidget* parent)
    : ListScreen(data, *data.dtbmdm, dialog, QStringLiteral("fmybdmF"), QStringLiteral("院部管理"),
                 {{QStringLiteral("mc"), QStringLiteral("院部名称")}}, MasterDataText::FacultyDeleteQuestion, parent)
{}

int FacultyScreen::openList()
{
    return Faculties(data()).openList();
}

Outcome FacultyScreen::removeCurrent()
{
    return Faculties(data()).remove(list().fieldByName(QStringLiteral("mc")).asString());
}
