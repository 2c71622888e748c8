#include "masterdataui/TeacherDialog.h"

#include "masterdata/SettingsRecord.h"
#include "masterdata/Teachers.h"
#include "store/DataModule.h"

#include <QComboBox>
#include <QLineEdit>

TeacherDialog::TeacherDialog(DataModule& data, const QString& name, QWidget* parent)
    : MasterDataDialog(data, *data.dtrydm, name, QStringLiteral("录入教师资料"), parent),
      m_code(addText("Edit1", QStringLiteral("代 码:"))), m_name(addText("Edit2", QStringLiteral("姓 名:"))),
      m_title(addDropDown("ComboBox1", QStringLiteral("职 称:"), Teachers::titles())),
      m_nature(addDropDown("ComboBox2", QStringLiteral("性 质:"), Teachers::natures())),
      m_post(addDropDown("ComboBox3", QStringLiteral("岗 位:"), Teachers::posts()))
{
    chainEnter({m_code, m_name});
}

void TeacherDialog::setDefaults()
{
    const Teachers::Teacher t = Teachers::defaults();
    m_code->setText(t.code);
    m_name->setText(t.name);
    m_title->setEditText(t.title);
    m_nature->setEditText(t.nature);
    m_post->setEditText(t.post);
}

void TeacherDialog::loadCurrentRow()
{
    const auto text = [this](const char* field) { return list().fieldByName(QLatin1String(field)).asString(); };
    m_code->setText(text("rydm"));
    m_name->setText(text("rymc"));
    m_title->setEditText(text("ryzc"));
    m_nature->setEditText(text("ryxz"));
    m_post->setEditText(text("rygw"));
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
