#include "masterdataui/TeacherDialog.h"

#include "masterdata/SettingsRecord.h"
#include "masterdata/Teachers.h"
#include "store/DataModule.h"

#include <QComboBox>
#include <QLineEdit>

TeacherDialog::TeacherDialog(DataModule& data, const QString& name, QWidget* parent)
    : MasterDataDialog(data, *data.dtrydm, name, QStringLiteral("录入教师资料"), parent),
      m_code(addText("Edit1", QStringLiteral("代 码:"), QStringLiteral("rydm"), Teachers::defaults().code)),
      m_name(addText("Edit2", QStringLiteral("姓 名:"), QStringLiteral("rymc"), Teachers::defaults().name)),
      m_title(addDropDown("ComboBox1", QStringLiteral("职 称:"), Teachers::titles(), QStringLiteral("ryzc"),
                          Teachers::defaults().title)),
      m_nature(addDropDown("ComboBox2", QStringLiteral("性 质:"), Teachers::natures(), QStringLiteral("ryxz"),
                           Teachers::defaults().nature)),
      m_post(addDropDown("ComboBox3", QStringLiteral("岗 位:"), Teachers::posts(), QStringLiteral("rygw"),
                         Teachers::defaults().post))
{
    chainEnter({m_code, m_name});
}

Outcome TeacherDialog::save(Mode mode, const QString& oldKey)
{
    const Teachers::Teacher t{m_code->text(), m_name->text(), m_title->currentText(), m_nature->currentText(),
                              m_post->currentText()};
    Teachers teachers(data());
    if (mode == Mode::Add)
        return teachers.add(SettingsRecord(*data().Tbsystem).section(), t);
    return teachers.edit(oldKey, t);
}
