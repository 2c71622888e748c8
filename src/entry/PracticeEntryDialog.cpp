#include "entry/PracticeEntryDialog.h"

#include "rows/EntryRows.h"

#include "entry/EntryForm.h"
#include "gui/ErrorDisplay.h"
#include "gui/MessageBox.h"
#include "rows/NumberInput.h"
#include "store/DataModule.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString Yes = QStringLiteral("是");
const QString Undergraduate = QStringLiteral("本科生");
const QString Postgraduate = QStringLiteral("研究生");
const QString NotSaved = QStringLiteral("要修改的工作量记录不在该教师现在的教研室中，没有保存!");

} // namespace

PracticeEntryDialog::PracticeEntryDialog(DataModule& data, Session& session, QWidget* parent)
    : RecordDialog(parent), m_rows(data, session), m_kname(EntryForm::lineEdit("kname", this)),
      m_w(EntryForm::lineEdit("w", this)), m_banji(EntryForm::lineEdit("banji", this)),
      m_r3(EntryForm::lineEdit("r3", this)), m_shuoming(EntryForm::dropDown("shuoming", {}, this)),
      m_gm(EntryForm::dropDown("gm", {Yes, QStringLiteral("否")}, this)),
      m_yan(EntryForm::dropDown("yan", {Undergraduate, QStringLiteral("专科生"), Postgraduate}, this)),
      m_r32(EntryForm::lineEdit("r32", this)), m_q32(EntryForm::lineEdit("q32", this)),
      m_r33(EntryForm::lineEdit("r33", this)), m_q33(EntryForm::lineEdit("q33", this))
{
    setObjectName(QStringLiteral("fmsjjxf"));
    setWindowTitle(QStringLiteral("录入实践教学工作量"));
    m_shuoming->setMinimumContentsLength(14);
    EntryForm form(this);
    form.place(0, 0, QStringLiteral("实习设计名称:"), m_kname);
    form.place(0, 1, QStringLiteral("实习设计周数:"), m_w);
    form.place(1, 0, QStringLiteral("实习设计班级:"), m_banji);
    form.place(1, 1, QStringLiteral("实习设计人数:"), m_r3);
    form.place(2, 0, QStringLiteral("实习设计类型:"), m_shuoming);
    form.place(2, 1, QStringLiteral("规模排课:"), m_gm);
    form.place(3, 0, QStringLiteral("学 生 类 型:"), m_yan);
    form.place(4, 0, QStringLiteral("毕业设计人数:"), m_r32);
    form.place(4, 1, QStringLiteral("工作量:"), m_q32);
    form.place(5, 0, QStringLiteral("指导硕士人数:"), m_r33);
    form.place(5, 1, QStringLiteral("工作量:"), m_q33);
    layOut(form.finish({m_kname, m_w, m_banji, m_r3, m_shuoming, m_gm, m_yan, m_r32, m_q32, m_r33, m_q33, okButton(),
                        cancelButton()}));

    enterMovesOn(m_kname, m_w);
    enterMovesOn(m_w, m_banji);
    enterMovesOn(m_banji, m_r3);
    enterMovesOn(m_r3, m_shuoming);
    enterMovesOn(m_shuoming, okButton());
    enterMovesOn(m_gm, m_q32);
    enterMovesOn(m_yan, m_q32);
    enterMovesOn(m_r32, m_q32);
    enterMovesOn(m_r33, m_q33);
    enterMovesOn(m_q32, okButton());
    enterMovesOn(m_q33, okButton());
}

int PracticeEntryDialog::exec(Kind kind, Mode mode)
{
    m_kind = kind;
    return RecordDialog::exec(mode);
}

void PracticeEntryDialog::show(Kind kind, Mode mode)
{
    m_kind = kind;
    RecordDialog::show(mode);
}

void PracticeEntryDialog::refill()
{
    ErrorDisplay::guard(this, [this] {
        EntryForm::fillTypes(m_shuoming, m_rows.practiceTypes());
        if (mode() == Mode::Edit)
            loadCurrentRow();
        else
            setDefaults();
        enableForKind();
        m_kname->setFocus(Qt::OtherFocusReason);
    });
}

void PracticeEntryDialog::setDefaults()
{
    m_kname->clear();
    m_banji->clear();
    for (QLineEdit* number : {m_w, m_r3, m_r32, m_q32, m_r33, m_q33})
        number->setText(QStringLiteral("0"));
    m_gm->setEditText(Yes);
    m_yan->setEditText(Undergraduate);
    if (m_kind == Kind::Graduation) {
        m_kname->setText(QStringLiteral("本科毕业设计"));
    } else if (m_kind == Kind::Supervision) {
        m_kname->setText(QStringLiteral("指导研究生"));
        m_yan->setEditText(Postgraduate);
    }
}

void PracticeEntryDialog::loadCurrentRow()
{
    const Query* row = m_rows.view(m_kind);
    const auto text = [row](const char* field) { return row->fieldByName(QLatin1String(field)).asString(); };
    m_kname->setText(text("kname"));
    m_w->setText(text("w"));
    m_banji->setText(text("banji"));
    m_q32->setText(text("q32"));
    m_r33->setText(text("r33"));
    m_q33->setText(text("q33"));
    m_r3->setText(text("r3"));
    m_r32->setText(text("r32"));
    m_gm->setEditText(row->fieldByName(QStringLiteral("gm")).asFloat() != 0 ? QStringLiteral("否") : Yes);
    m_shuoming->setEditText(text("shuoming"));
    m_yan->setEditText(text("yan"));
    m_xh = text("xh");
}

void PracticeEntryDialog::enableForKind()
{
    for (QWidget* w : QList<QWidget*>{m_w, m_r3, m_gm, m_shuoming})
        w->setEnabled(m_kind == Kind::Internship);
    m_r32->setEnabled(m_kind == Kind::Graduation);
    m_q32->setEnabled(m_kind == Kind::Graduation);
    m_r33->setEnabled(m_kind == Kind::Supervision);
    m_q33->setEnabled(m_kind == Kind::Supervision);
}

EntryRows::Practice PracticeEntryDialog::typed() const
{
    EntryRows::Practice row;
    row.kind = m_kind;
    row.arranged = m_gm->currentText() == Yes;
    row.banji = m_banji->text();
    row.r3 = m_r3->text();
    row.kname = m_kname->text();
    row.w = m_w->text();
    row.shuoming = m_shuoming->currentText();
    row.yan = m_yan->currentText();
    row.r33 = m_r33->text();
    row.r32 = m_r32->text();
    row.q32 = m_q32->text();
    row.q33 = m_q33->text();
    return row;
}

bool PracticeEntryDialog::amountsPass()
{
    bool malformed = false;
    const bool passes = EntryRows::practiceAmountsPass(typed(), &malformed);
    if (malformed)
        MessageBox::error(this, QStringLiteral("数字输入错误，请使用半角!"));
    return passes;
}

QList<RowField> PracticeEntryDialog::fields()
{
    return EntryRows::practiceFields(typed(), m_rows.currentYear());
}

void PracticeEntryDialog::saveAndClose()
{
    if (!amountsPass())
        return;
    if (m_kname->text().trimmed().isEmpty() || m_banji->text().trimmed().isEmpty()) {
        MessageBox::error(this, QStringLiteral("设计名称和设计班级不能为空!"));
        return;
    }

    const QList<RowField> row = fields();
    const WorkloadRows::Save saved =
        mode() == Mode::Edit ? m_rows.updatePracticeRow(row, m_xh) : m_rows.insertPracticeRow(row);
    switch (saved) {
    case WorkloadRows::Save::Saved:
        break;
    case WorkloadRows::Save::NotFound:
        // The row is filed under a section name that is not the teacher's present one: the update
        // found nothing to change, and closing would look like a save.
        MessageBox::error(this, NotSaved);
        return;
    case WorkloadRows::Save::NoTeacher:
        MessageBox::error(this, WorkloadRows::NoTeacherText);
        return;
    case WorkloadRows::Save::Refused:
        MessageBox::error(this, m_rows.refusal());
        return;
    }
    for (auto c :
         {WorkloadRows::Category::Internship, WorkloadRows::Category::Graduation, WorkloadRows::Category::Supervision})
        m_rows.reopen(c);
    accept();
}
