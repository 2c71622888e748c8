#include "masterdataui/SectionScreen.h"

#include "masterdata/MasterDataText.h"
#include "masterdata/Sections.h"
#include "masterdata/SettingsRecord.h"
#include "masterdataui/SectionDialog.h"
#include "masterdataui/TeacherScreen.h"
#include "store/DataModule.h"

#include <QEvent>

SectionScreen::SectionScreen(DataModule& data, SectionDialog& dialog, TeacherScreen& teachers, QWidget* parent)
    : ListScreen(data, *data.dtbmdm, dialog, QStringLiteral("fmbmdmF"), QStringLiteral("教研室管理"),
                 {{QStringLiteral("Bmdm"), QStringLiteral("教研室代码")},
                  {QStringLiteral("Bmmc"), QStringLiteral("教研室名称")}},
                 MasterDataText::SectionDeleteQuestion, parent),
      m_teachers(teachers)
{
    addCommand(QStringLiteral("人员名单"), [this] { onTeachersClicked(); });
}

int SectionScreen::openList()
{
    const int count = Sections(data()).openList(SettingsRecord(*data().Tbsystem).faculty());
    m_statement = list().text();
    return count;
}

void SectionScreen::setTitleAfterOpening()
{
    setWindowTitle(SettingsRecord(*data().Tbsystem).faculty() + QStringLiteral(" 教研室管理"));
}

Outcome SectionScreen::removeCurrent()
{
    return Sections(data()).remove(list().fieldByName(QStringLiteral("bmdm")).asString());
}

void SectionScreen::onTeachersClicked()
{
    if (!guardPasses())
        return;
    const Query::Bookmark row = list().getBookmark();
    SettingsRecord(*data().Tbsystem).chooseSection(list().fieldByName(QStringLiteral("bmdm")).asString());
    m_teachers.exec();
    list().gotoBookmark(row);
}

bool SectionScreen::event(QEvent* event)
{
    // The faculty screen lists into the same holder. This screen stays open beside the main
    // window, so when it comes back to the front over a faculty list, it loads its own again.
    if (event->type() == QEvent::WindowActivate && isVisible() && !m_statement.isEmpty() &&
        list().text() != m_statement)
        refill();
    return ListScreen::event(event);
}
