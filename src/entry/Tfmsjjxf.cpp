#include "Tfmsjjxf.h"

#include "EnterKeyChain.h"
#include "EntryForm.h"
#include "EntrySupport.h"
#include "ErrorDisplay.h"
#include "LoginState.h"
#include "MessageBox.h"
#include "Sql.h"
#include "StoreError.h"
#include "Tdmmsdb.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

Tfmsjjxf* fmsjjxf = nullptr;

namespace {

const QString Yes = QStringLiteral("是");
const QString Undergraduate = QStringLiteral("本科生");
const QString Postgraduate = QStringLiteral("研究生");

enum Kind
{
    Internship = 1,
    Graduation = 2,
    Supervision = 3
};

// 1-3 add and 4-6 edit the same three kinds.
int kindOf(int practiceKind)
{
    const int kind = practiceKind > 3 ? practiceKind - 3 : practiceKind;
    return kind == Graduation || kind == Supervision ? kind : Internship;
}

QString categoryOf(int kind)
{
    switch (kind) {
    case Graduation:
        return QStringLiteral("毕业设计");
    case Supervision:
        return QStringLiteral("指导硕士");
    default:
        return QStringLiteral("实习设计");
    }
}

} // namespace

Tfmsjjxf::Tfmsjjxf(QWidget* parent)
    : QDialog(parent), m_kname(EntryForm::lineEdit("kname", this)), m_w(EntryForm::lineEdit("w", this)),
      m_banji(EntryForm::lineEdit("banji", this)), m_r3(EntryForm::lineEdit("r3", this)),
      m_shuoming(EntryForm::dropDown("shuoming", {}, this)),
      m_gm(EntryForm::dropDown("gm", {Yes, QStringLiteral("否")}, this)),
      m_yan(EntryForm::dropDown("yan", {Undergraduate, QStringLiteral("专科生"), Postgraduate}, this)),
      m_r32(EntryForm::lineEdit("r32", this)), m_q32(EntryForm::lineEdit("q32", this)),
      m_r33(EntryForm::lineEdit("r33", this)), m_q33(EntryForm::lineEdit("q33", this)),
      m_ok(new QPushButton(QStringLiteral("确定"), this)), m_cancel(new QPushButton(QStringLiteral("放弃"), this)),
      m_enter(new EnterKeyChain(this))
{
    fmsjjxf = this;
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
    form.finish(m_ok, m_cancel,
                {m_kname, m_w, m_banji, m_r3, m_shuoming, m_gm, m_yan, m_r32, m_q32, m_r33, m_q33, m_ok, m_cancel});

    m_enter->link(m_kname, m_w);
    m_enter->link(m_w, m_banji);
    m_enter->link(m_banji, m_r3);
    m_enter->link(m_r3, m_shuoming);
    m_enter->link(m_shuoming, m_ok);
    m_enter->link(m_gm, m_q32);
    m_enter->link(m_yan, m_q32);
    m_enter->link(m_r32, m_q32);
    m_enter->link(m_r33, m_q33);
    m_enter->link(m_q32, m_ok);
    m_enter->link(m_q33, m_ok);

    connect(m_ok, &QPushButton::clicked, this, &Tfmsjjxf::BitBtn1Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Tfmsjjxf::~Tfmsjjxf()
{
    if (fmsjjxf == this)
        fmsjjxf = nullptr;
}

void Tfmsjjxf::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tfmsjjxf::FormShow()
{
    ErrorDisplay::guard(this, [this] {
        fillPracticeTypes();
        const int practiceKind = loginState().PracticeKind;
        const int kind = kindOf(practiceKind);
        if (practiceKind > 3)
            loadCurrentRow(kind);
        else
            setDefaults(kind);
        enableForKind(kind);
        m_fl = categoryOf(kind);
        m_kname->setFocus(Qt::OtherFocusReason);
    });
}

void Tfmsjjxf::fillPracticeTypes()
{
    Query* q = dmmsdb->xssj2;
    q->setStatement({QStringLiteral("select * from sysparameter where fenlie=9 order by sunxu")});
    q->open();
    m_shuoming->clear();
    QStringList types;
    for (q->first(); !q->eof(); q->next())
        types << q->fieldByName(QStringLiteral("shuoming")).asString();
    m_shuoming->addItems(types);
    m_shuoming->setEditText(types.value(0));
    q->close();
    dmmsdb->dtbmdm1->close();
}

void Tfmsjjxf::setDefaults(int kind)
{
    m_kname->clear();
    m_banji->clear();
    for (QLineEdit* number : {m_w, m_r3, m_r32, m_q32, m_r33, m_q33})
        number->setText(QStringLiteral("0"));
    m_gm->setEditText(Yes);
    m_yan->setEditText(Undergraduate);
    if (kind == Graduation) {
        m_kname->setText(QStringLiteral("本科毕业设计"));
    } else if (kind == Supervision) {
        m_kname->setText(QStringLiteral("指导研究生"));
        m_yan->setEditText(Postgraduate);
    }
}

void Tfmsjjxf::loadCurrentRow(int kind)
{
    const Query* row = kind == Graduation ? dmmsdb->dtbysj : kind == Supervision ? dmmsdb->dtzdss : dmmsdb->dtsxsj;
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

void Tfmsjjxf::enableForKind(int kind)
{
    for (QWidget* w : QList<QWidget*>{m_w, m_r3, m_gm, m_shuoming})
        w->setEnabled(kind == Internship);
    m_r32->setEnabled(kind == Graduation);
    m_q32->setEnabled(kind == Graduation);
    m_r33->setEnabled(kind == Supervision);
    m_q33->setEnabled(kind == Supervision);
}

void Tfmsjjxf::BitBtn1Click()
{
    ErrorDisplay::guard(this, [this] { save(); });
}

bool Tfmsjjxf::amountsPass()
{
    // Weeks, then students, then graduation-design students, then supervised students, disabled
    // or not: the first positive one passes.
    for (const QLineEdit* amount : {m_w, m_r3, m_r32, m_r33}) {
        double value = 0;
        if (!EntrySupport::toDecimal(amount->text(), &value)) {
            MessageBox::error(this, QStringLiteral("数字输入错误，请使用半角!"));
            return false;
        }
        if (value > 0)
            return true;
    }
    return false;
}

void Tfmsjjxf::save()
{
    const bool editing = loginState().PracticeKind > 3;
    const QString gm = m_gm->currentText() == Yes ? QStringLiteral("0") : QStringLiteral("1");
    if (!amountsPass())
        return;
    if (m_kname->text().trimmed().isEmpty() || m_banji->text().trimmed().isEmpty()) {
        MessageBox::error(this, QStringLiteral("设计名称和设计班级不能为空!"));
        return;
    }

    const EntrySupport::Teacher teacher = EntrySupport::lookUpTeacher();
    Query* change = dmmsdb->dtbmdm1;
    change->close();
    change->clear();

    const QString year = EntrySupport::currentYear();
    const auto q = [](const QString& text) { return Sql::quote(text); };
    if (editing) {
        change->add(QStringLiteral("update gzl set "));
        change->add(QStringLiteral("jiaoshi=%1,").arg(q(teacher.rymc)));
        change->add(QStringLiteral("yuanbu=%1,").arg(q(teacher.ybmc)));
        change->add(QStringLiteral("jiaoyanshi=%1,").arg(q(teacher.bmmc)));
        change->add(QStringLiteral("gm=") + gm + u',');
        change->add(QStringLiteral("banji=%1,").arg(q(m_banji->text())));
        change->add(QStringLiteral("r3=") + m_r3->text() + u',');
        change->add(QStringLiteral("kname=%1,").arg(q(m_kname->text())));
        change->add(QStringLiteral("w=") + m_w->text() + u',');
        change->add(QStringLiteral("shuoming=%1,").arg(q(m_shuoming->currentText())));
        change->add(QStringLiteral("yan=%1,").arg(q(m_yan->currentText())));
        change->add(QStringLiteral("r33=") + m_r33->text() + u',');
        change->add(QStringLiteral("r32=") + m_r32->text() + u',');
        change->add(QStringLiteral("q32=") + m_q32->text() + u',');
        change->add(QStringLiteral("q33=") + m_q33->text() + u',');
        change->add(QStringLiteral("xingzhi=%1,").arg(q(teacher.ryxz)));
        change->add(QStringLiteral("zhicheng=%1,").arg(q(teacher.ryzc)));
        change->add(QStringLiteral("gangwei=%1,").arg(q(teacher.rygw)));
        change->add(QStringLiteral("fl=%1,").arg(q(m_fl)));
        change->add(QStringLiteral("nd=%1").arg(q(year)));
        // Found by its serial and the teacher's present section name.
        change->add(QStringLiteral("where xh=%1 and jiaoyanshi=%2").arg(q(m_xh), q(teacher.bmmc)));
    } else {
        // The serial is taken even if the store then refuses the row.
        const int serial = ++loginState().NextXh;
        change->add(QStringLiteral("insert into gzl "
                                   "(xh,yan,jiaoshi,yuanbu,jiaoyanshi,gm,banji,r3,kname,w,shuoming,r33,r32,q32,q33,"
                                   "xingzhi,zhicheng,gangwei,fl,nd)"));
        change->add(QStringLiteral(" values(%1,").arg(serial));
        change->add(q(m_yan->currentText()) + u',');
        change->add(q(teacher.rymc) + u',');
        change->add(q(teacher.ybmc) + u',');
        change->add(q(teacher.bmmc) + u',');
        change->add(gm + u',');
        change->add(q(m_banji->text()) + u',');
        change->add(m_r3->text() + u',');
        change->add(q(m_kname->text()) + u',');
        change->add(m_w->text() + u',');
        change->add(q(m_shuoming->currentText()) + u',');
        change->add(m_r33->text() + u',');
        change->add(m_r32->text() + u',');
        change->add(m_q32->text() + u',');
        change->add(m_q33->text() + u',');
        change->add(q(teacher.ryxz) + u',');
        change->add(q(teacher.ryzc) + u',');
        change->add(q(teacher.rygw) + u',');
        change->add(q(m_fl) + u',');
        change->add(q(year) + u')');
    }

    const QString refused = QStringLiteral("出现输入的文字超长或者类型不正确!");
    for (const QLineEdit* number : {m_r3, m_w, m_r33, m_r32, m_q32, m_q33}) {
        if (!EntrySupport::isNumberLiteral(number->text())) {
            MessageBox::error(this, refused);
            return;
        }
    }
    try {
        change->execSql();
    } catch (const StoreError&) {
        MessageBox::error(this, refused);
        return;
    }

    EntrySupport::reopen(dmmsdb->dtsxsj);
    EntrySupport::reopen(dmmsdb->dtbysj);
    EntrySupport::reopen(dmmsdb->dtzdss);
    accept();
}
