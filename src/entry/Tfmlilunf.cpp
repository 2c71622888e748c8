#include "Tfmlilunf.h"

#include "EnterKeyChain.h"
#include "EntryForm.h"
#include "EntrySupport.h"
#include "ErrorDisplay.h"
#include "LoginState.h"
#include "MessageBox.h"
#include "Sql.h"
#include "StoreError.h"
#include "Tdmmsdb.h"
#include "Transaction.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

Tfmlilunf* fmlilunf = nullptr;

namespace {

const QString Category = QStringLiteral("理论实验");
const QString Yes = QStringLiteral("是");
const QString No = QStringLiteral("否");
const QString ReportsSet = QStringLiteral("有");
const QString NoReports = QStringLiteral("无");
const QString Undergraduate = QStringLiteral("本科生");
const QString Postgraduate = QStringLiteral("研究生");

} // namespace

Tfmlilunf::Tfmlilunf(QWidget* parent)
    : QDialog(parent), m_kname(EntryForm::lineEdit("kname", this)), m_t1(EntryForm::lineEdit("t1", this)),
      m_banji(EntryForm::lineEdit("banji", this)), m_r1(EntryForm::lineEdit("r1", this)),
      m_shuoming(EntryForm::dropDown("shuoming", {}, this)),
      m_yan(EntryForm::dropDown("yan", {Undergraduate, QStringLiteral("专科生"), Postgraduate}, this)),
      m_t2(EntryForm::lineEdit("t2", this)), m_r2(EntryForm::lineEdit("r2", this)),
      m_fzs(EntryForm::lineEdit("fzs", this)), m_gm(EntryForm::dropDown("gm", {Yes, No}, this)),
      m_bg(EntryForm::dropDown("bg", {ReportsSet, NoReports}, this)),
      m_ok(new QPushButton(QStringLiteral("确定"), this)), m_cancel(new QPushButton(QStringLiteral("放弃"), this)),
      m_enter(new EnterKeyChain(this))
{
    fmlilunf = this;
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
    form.finish(m_ok, m_cancel,
                {m_kname, m_t1, m_banji, m_r1, m_shuoming, m_yan, m_t2, m_r2, m_fzs, m_gm, m_bg, m_ok, m_cancel});

    m_enter->link(m_kname, m_t1);
    m_enter->link(m_t1, m_banji);
    m_enter->link(m_banji, m_r1);
    m_enter->link(m_r1, m_shuoming);
    m_enter->link(m_shuoming, m_yan);
    m_enter->link(m_yan, m_t2);
    m_enter->link(m_t2, m_r2);
    m_enter->link(m_r2, m_fzs);
    m_enter->link(m_fzs, m_ok);
    m_enter->link(m_gm, m_t2);
    m_enter->link(m_bg, m_t2);

    connect(m_ok, &QPushButton::clicked, this, &Tfmlilunf::BitBtn1Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Tfmlilunf::~Tfmlilunf()
{
    if (fmlilunf == this)
        fmlilunf = nullptr;
}

void Tfmlilunf::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tfmlilunf::FormShow()
{
    ErrorDisplay::guard(this, [this] {
        fillCourseTypes();
        if (loginState().TheoryEntryMode != 0)
            setDefaults();
        else
            loadCurrentRow();
        m_kname->setFocus(Qt::OtherFocusReason);
    });
}

void Tfmlilunf::fillCourseTypes()
{
    Query* q = dmmsdb->xssj2;
    q->setStatement({QStringLiteral("select * from sysparameter where fenlie=0 order by sunxu")});
    q->open();
    m_shuoming->clear();
    // A course type defined for both student groups is listed twice, as read.
    QStringList types;
    for (q->first(); !q->eof(); q->next())
        types << q->fieldByName(QStringLiteral("shuoming")).asString();
    m_shuoming->addItems(types);
    m_shuoming->setEditText(types.value(0));
    q->close();
    dmmsdb->dtbmdm1->close();
}

void Tfmlilunf::setDefaults()
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

void Tfmlilunf::loadCurrentRow()
{
    const Query* row = dmmsdb->dtllsj;
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

void Tfmlilunf::BitBtn1Click()
{
    ErrorDisplay::guard(this, [this] { save(); });
}

bool Tfmlilunf::amountsPass() const
{
    // Theory hours, then lab hours, then students: the first positive one passes; a field that is
    // not a whole number ends the check where it is reached.
    for (const QLineEdit* amount : {m_t1, m_t2, m_r1}) {
        int value = 0;
        if (!EntrySupport::toWholeNumber(amount->text(), &value))
            return false;
        if (value > 0)
            return true;
    }
    return false;
}

void Tfmlilunf::save()
{
    const bool editing = loginState().TheoryEntryMode == 0;
    QString xh, section, faculty;
    if (editing) {
        const Query* row = dmmsdb->dtllsj;
        xh = row->fieldByName(QStringLiteral("xh")).asString();
        section = row->fieldByName(QStringLiteral("jiaoyanshi")).asString();
        faculty = row->fieldByName(QStringLiteral("yuanbu")).asString();
    }
    const QString gm = m_gm->currentText() == Yes ? QStringLiteral("0") : QStringLiteral("1");
    const QString bg = m_bg->currentText() == ReportsSet ? QStringLiteral("0") : QStringLiteral("1");

    if (!amountsPass())
        return;
    if (m_kname->text().trimmed().isEmpty() || m_banji->text().trimmed().isEmpty()) {
        MessageBox::error(this, QStringLiteral("课程名称和班级名称不能为空!"));
        return;
    }

    const EntrySupport::Teacher teacher = EntrySupport::lookUpTeacher();
    Query* change = dmmsdb->dtbmdm1;
    change->close();
    change->clear();

    const QString courseType = m_shuoming->currentText();
    const QString studentType = m_yan->currentText();
    const QString year = EntrySupport::currentYear();
    const auto q = [](const QString& text) { return Sql::quote(text); };
    if (editing) {
        change->add(QStringLiteral("update gzl set "));
        change->add(QStringLiteral("jiaoshi=%1,").arg(q(teacher.rymc)));
        change->add(QStringLiteral("yuanbu=%1,").arg(q(teacher.ybmc)));
        change->add(QStringLiteral("jiaoyanshi=%1,").arg(q(teacher.bmmc)));
        change->add(QStringLiteral("gm=") + gm + u',');
        change->add(QStringLiteral("bg=") + bg + u',');
        change->add(QStringLiteral("yan=%1,").arg(q(studentType)));
        change->add(QStringLiteral("banji=%1,").arg(q(m_banji->text())));
        change->add(QStringLiteral("r1=") + m_r1->text() + u',');
        change->add(QStringLiteral("kname=%1,").arg(q(m_kname->text())));
        change->add(QStringLiteral("t1=") + m_t1->text() + u',');
        change->add(QStringLiteral("shuoming=%1,").arg(q(courseType)));
        change->add(QStringLiteral("r2=") + m_r2->text() + u',');
        change->add(QStringLiteral("t2=") + m_t2->text() + u',');
        change->add(QStringLiteral("fzs=") + m_fzs->text() + u',');
        change->add(QStringLiteral("xingzhi=%1,").arg(q(teacher.ryxz)));
        change->add(QStringLiteral("zhicheng=%1,").arg(q(teacher.ryzc)));
        change->add(QStringLiteral("gangwei=%1,").arg(q(teacher.rygw)));
        change->add(QStringLiteral("fl=%1,").arg(q(Category)));
        change->add(QStringLiteral("nd=%1").arg(q(year)));
        change->add(QStringLiteral("where xh=%1 and jiaoyanshi=%2 and yuanbu=%3").arg(q(xh), q(section), q(faculty)));
    } else {
        // The serial is taken even if the store then refuses the row.
        const int serial = ++loginState().NextXh;
        change->add(QStringLiteral("insert into gzl "
                                   "(xh,jiaoshi,yuanbu,jiaoyanshi,gm,bg,yan,banji,r1,kname,t1,shuoming,r2,t2,fzs,"
                                   "xingzhi,zhicheng,gangwei,fl,nd)"));
        change->add(QStringLiteral(" values(%1,").arg(serial));
        change->add(q(teacher.rymc) + u',');
        change->add(q(teacher.ybmc) + u',');
        change->add(q(teacher.bmmc) + u',');
        change->add(gm + u',' + bg + u',');
        change->add(q(studentType) + u',');
        change->add(q(m_banji->text()) + u',');
        change->add(m_r1->text() + u',');
        change->add(q(m_kname->text()) + u',');
        change->add(m_t1->text() + u',');
        change->add(q(courseType) + u',');
        change->add(m_r2->text() + u',');
        change->add(m_t2->text() + u',');
        change->add(m_fzs->text() + u',');
        change->add(q(teacher.ryxz) + u',');
        change->add(q(teacher.ryzc) + u',');
        change->add(q(teacher.rygw) + u',');
        change->add(q(Category) + u',');
        change->add(q(year) + u')');
    }

    const QString refused = QStringLiteral("出现输入的文字超长或者类型不正确!");
    for (const QLineEdit* number : {m_r1, m_t1, m_r2, m_t2, m_fzs}) {
        if (!EntrySupport::isNumberLiteral(number->text())) {
            MessageBox::error(this, refused);
            return;
        }
    }

    // The row and the course-type order go in together: a failure of the order update must not
    // leave a saved row behind a dialog that is still open, or a second "确定" would add it twice.
    Transaction transaction(*dmmsdb->database());
    try {
        change->execSql();
    } catch (const StoreError&) {
        MessageBox::error(this, refused);
        return;
    }
    change->close();
    change->clear();

    // Saving a course type moves it one step up the list for the next entry.
    change->add(QStringLiteral("update sysparameter set "));
    change->add(QStringLiteral("sunxu=sunxu-1"));
    change->add(QStringLiteral("where shuoming=%1 and yan=%2")
                    .arg(q(courseType), q(studentType == Postgraduate ? Postgraduate : QStringLiteral("本专生"))));
    change->execSql();
    transaction.commit();

    EntrySupport::reopen(dmmsdb->dtllsj);
    accept();
}
