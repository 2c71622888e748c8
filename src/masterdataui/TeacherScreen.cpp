#include "masterdataui/TeacherScreen.h"

#include "masterdata/MasterDataText.h"
#include "masterdata/SettingsRecord.h"
#include "masterdata/Teachers.h"
#include "masterdataui/TeacherDialog.h"
#include "store/DataModule.h"

TeacherScreen::TeacherScreen(DataModule& data, TeacherDialog& dialog, QWidget* parent)
    : ListScreen(data, *data.dtrydm, dialog, QStringLiteral("fmrydmF"), QStringLiteral("教师管理"),
                 {{QStringLiteral("Bmmc"), QStringLiteral("教研室名称")},
                  {QStringLiteral("rydm"), QStringLiteral("教师代码")},
                  {QStringLiteral("rymc"), QStringLiteral("教师姓名")},
                  {QStringLiteral("ryzc"), QStringLiteral("职称")},
                  {QStringLiteral("ryxz"), QStringLiteral("性质")},
                  {QStringLiteral("rygw"), QStringLiteral(" 岗位")}},
                 MasterDataText::TeacherDeleteQuestion, parent)
{}

int TeacherScreen::openList()
{
    return Teachers(data()).openList(SettingsRecord(*data().Tbsystem).section());
}

void TeacherScreen::setTitleAfterOpening()
{
    setWindowTitle(SettingsRecord(*data().Tbsystem).section() + QStringLiteral(" 教师管理"));
}

Outcome TeacherScreen::removeCurrent()
{
    return Teachers(data()).remove(list().fieldByName(QStringLiteral("rydm")).asString());
}
