#include "entry/TheoryEntryDialog.h"

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
const QString No = QStringLiteral("否");
const QString ReportsSet = QStringLiteral("有");
const QString NoReports = QStringLiteral("无");
const QString Undergraduate = QStringLiteral("本科生");
const QString Postgraduate = QStringLiteral("研究生");

} // namespace

TheoryEntryDialog::TheoryEntryDialog(DataModule& data, Session& session, QWidget* parent)
    : RecordDialog(parent), m_rows(data, session), m_kname(EntryForm::lineEdit("kname", this)),
      m_t1(EntryForm::lineEdit("t1", this)), m_banji(EntryForm::lineEdit("banji", this)),
      m_r1(EntryForm::lineEdit("r1", this)), m_shuoming(EntryForm::dropDown("shuoming", {}, this)),
      m_yan(EntryForm::dropDown("yan", {Undergraduate, QStringLiteral("专科生"), Postgraduate}, this)),
      m_t2(EntryForm::lineEdit("t2", this)), m_r2(EntryForm::lineEdit("r2", this)),
      m_fzs(EntryForm::lineEdit("fzs", this)), m_gm(EntryForm::dropDown("gm", {Yes, No}, this)),
      m_bg(EntryForm::dropDown("bg", {ReportsSet, NoReports}, this))
{
    setObjectName(QStringLiteral("fmlilunf"));
    setWindowTitle(QStringLiteral("录入理论实验工作量"));
    m_shuoming->setMinimumContentsLength(16);
    EntryForm form(this);
    form.place(0, 0, QStringLiteral("课程名:"), m_kname);
    form.place(0, 1, QStringLiteral("理论学时:"), m_t1);
    form.place(1, 0, QStringLiteral("授课班级:"), m_banji);
    form.place(1, 1, QStringLiteral("授课人数:"), m_r1);
    form.place(2, 0, QStringLiteral("课程类型:"), m_shuoming);
    form.place(2, 1, QStringLiteral("学生类型:"), m_yan);
    form.place(3, 0, QStringLiteral("实验学时:"), m_t2);
    form.place(3, 1, QStringLiteral("实验人数:"), m_r2);
    form.place(4, 0, QStringLiteral("实验分组数:"), m_fzs);
    form.place(4, 1, QStringLiteral("规模排课:"), m_gm);
    form.place(5, 1, QStringLiteral("实验报告:"), m_bg);
    layOut(form.finish(
        {m_kname, m_t1, m_banji, m_r1, m_shuoming, m_yan, m_t2, m_r2, m_fzs, m_gm, m_bg, okButton(), cancelButton()}));

    enterMovesOn(m_kname, m_t1);
    enterMovesOn(m_t1, m_banji);
    enterMovesOn(m_banji, m_r1);
    enterMovesOn(m_r1, m_shuoming);
    enterMovesOn(m_shuoming, m_yan);
    enterMovesOn(m_yan, m_t2);
    enterMovesOn(m_t2, m_r2);
    enterMovesOn(m_r2, m_fzs);
    enterMovesOn(m_fzs, okButton());
    enterMovesOn(m_gm, m_t2);
    enterMovesOn(m_bg, m_t2);
}

void TheoryEntryDialog::refill()
{
    ErrorDisplay::guard(this, [this] {
        EntryForm::fillTypes(m_shuoming, m_rows.courseTypes());
        if (mode() == Mode::Add)
            setDefaults();
        else
            loadCurrentRow();
        m_kname->setFocus(Qt::OtherFocusReason);
    });
}

void TheoryEntryDialog::setDefaults()
{
    m_kname->clear();
    m_t1->setText(QStringLiteral("0"));
    m_banji->clear();
    m_r1->setText(QStringLiteral("0"));
    m_yan->setEditText(Undergraduate);
    m_t2->setText(QStringLiteral("0"));
    m_r2->setText(QStringLiteral("0"));
    m_fzs->setText(QStringLiteral("1"));
    m_gm->setEditText(Yes);
    m_bg->setEditText(ReportsSet);
}

void TheoryEntryDialog::loadCurrentRow()
{
    const Query* row = m_rows.view(WorkloadRows::Category::Theory);
    const auto text = [row](const char* field) { return row->fieldByName(QLatin1String(field)).asString(); };
    m_kname->setText(text("kname"));
    m_t1->setText(text("t1"));
    m_banji->setText(text("banji"));
    m_t2->setText(text("t2"));
    m_r2->setText(text("r2"));
    m_fzs->setText(text("fzs"));
    m_r1->setText(text("r1"));
    m_gm->setEditText(row->fieldByName(QStringLiteral("gm")).asFloat() != 0 ? No : Yes);
    m_yan->setEditText(text("yan"));
    m_bg->setEditText(row->fieldByName(QStringLiteral("bg")).asFloat() != 0 ? NoReports : ReportsSet);
    m_shuoming->setEditText(text("shuoming"));
}

EntryRows::Theory TheoryEntryDialog::typed() const
{
    EntryRows::Theory row;
    row.arranged = m_gm->currentText() == Yes;
    row.reportsSet = m_bg->currentText() == ReportsSet;
    row.yan = m_yan->currentText();
    row.banji = m_banji->text();
    row.r1 = m_r1->text();
    row.kname = m_kname->text();
    row.t1 = m_t1->text();
    row.shuoming = m_shuoming->currentText();
    row.r2 = m_r2->text();
    row.t2 = m_t2->text();
    row.fzs = m_fzs->text();
    return row;
}

bool TheoryEntryDialog::amountsPass() const
{
    return EntryRows::theoryAmountsPass(typed());
}

QList<RowField> TheoryEntryDialog::fields()
{
    return EntryRows::theoryFields(typed(), m_rows.currentYear());
}

void TheoryEntryDialog::saveAndClose()
{
    const bool editing = mode() == Mode::Edit;
    QString xh, section, faculty;
    if (editing) {
        const Query* row = m_rows.view(WorkloadRows::Category::Theory);
        xh = row->fieldByName(QStringLiteral("xh")).asString();
        section = row->fieldByName(QStringLiteral("jiaoyanshi")).asString();
        faculty = row->fieldByName(QStringLiteral("yuanbu")).asString();
    }
    if (!amountsPass())
        return;
    if (m_kname->text().trimmed().isEmpty() || m_banji->text().trimmed().isEmpty()) {
        MessageBox::error(this, QStringLiteral("课程名称和班级名称不能为空!"));
        return;
    }

    const QList<RowField> row = fields();
    const QString courseType = m_shuoming->currentText();
    const QString studentType = m_yan->currentText();
    const WorkloadRows::Save saved = editing
                                         ? m_rows.updateTheoryRow(row, xh, section, faculty, courseType, studentType)
                                         : m_rows.insertTheoryRow(row, courseType, studentType);
    if (saved != WorkloadRows::Save::Saved) {
        MessageBox::error(this,
                          saved == WorkloadRows::Save::NoTeacher ? WorkloadRows::NoTeacherText : m_rows.refusal());
        return;
    }
    m_rows.reopen(WorkloadRows::Category::Theory);
    accept();
}
