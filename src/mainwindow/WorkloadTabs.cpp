#include "WorkloadTabs.h"

#include "ErrorDisplay.h"
#include "FUnit.h"
#include "GridBinding.h"
#include "GridColumns.h"
#include "LoginState.h"
#include "MessageBox.h"
#include "Sql.h"
#include "Tdmmsdb.h"
#include "Tfmlilunf.h"
#include "Tfmsjjxf.h"
#include "WaitCursor.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QList<DataSource::Column> columns(std::initializer_list<std::pair<const char*, const char*>> list)
{
    QList<DataSource::Column> result;
    for (const auto& [field, title] : list)
        result.append({QString::fromLatin1(field), QString::fromUtf8(title)});
    return result;
}

void reopen(Query* q)
{
    q->close();
    q->open();
}

} // namespace

WorkloadTabs::WorkloadTabs(QWidget* parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("PageControl1"));
    addTab(buildTheoryPage(), s("理论实验工作量"));
    addTab(buildPracticePage(), s("实践工作量"));
    setCurrentIndex(0);
    setEditingEnabled(false);
    m_calculate->setEnabled(false);
}

QTableView* WorkloadTabs::grid(const char* name)
{
    auto* view = new QTableView;
    view->setObjectName(QString::fromLatin1(name));
    view->setAlternatingRowColors(true);
    return view;
}

QPushButton* WorkloadTabs::button(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QWidget* WorkloadTabs::buildTheoryPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    m_theoryGrid = grid("DBGrid1");
    m_theoryName = new QLabel(s("合计："));
    m_theoryName->setObjectName(QStringLiteral("Label6"));
    QFont bold = m_theoryName->font();
    bold.setBold(true);
    m_theoryName->setFont(bold);
    m_total = new QLineEdit;
    m_total->setObjectName(QStringLiteral("Edit1"));
    m_total->setReadOnly(true);
    m_total->setMaximumWidth(160);
    m_theoryAdd = button("BitBtn1", s("增加"));
    m_theoryEdit = button("BitBtn2", s("编辑"));
    m_theoryDelete = button("BitBtn3", s("删除"));
    m_calculate = button("BitBtn4", s("计算"));

    auto* note = new QLabel(s("注：规模排课=1 表示未按照学校要求排课"));
    note->setObjectName(QStringLiteral("Label7"));
    auto* row = new QHBoxLayout;
    row->addWidget(note);
    row->addSpacing(24);
    row->addWidget(m_theoryName);
    row->addWidget(new QLabel(s("合计：")));
    row->addWidget(m_total);
    row->addStretch();
    for (QPushButton* b : {m_theoryAdd, m_theoryEdit, m_theoryDelete, m_calculate})
        row->addWidget(b);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_theoryGrid, 1);
    layout->addLayout(row);

    connect(m_theoryAdd, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(m_theoryEdit, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(m_theoryDelete, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(m_calculate, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    return page;
}

QWidget* WorkloadTabs::buildPracticePage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* layout = new QVBoxLayout(page);
    auto* group = new QButtonGroup(page);
    const char* grids[] = {"DBGrid2", "DBGrid3", "DBGrid4"};
    const char* radios[] = {"RadioButton1", "RadioButton2", "RadioButton3"};
    for (int i = 0; i < 3; ++i) {
        m_practiceGrids[i] = grid(grids[i]);
        m_kinds[i] = new QRadioButton;
        m_kinds[i]->setObjectName(QString::fromLatin1(radios[i]));
        group->addButton(m_kinds[i], i + 1);
        // The row header is kept wide enough that the radio button does not cover the first title.
        m_practiceGrids[i]->verticalHeader()->setMinimumWidth(m_kinds[i]->sizeHint().width() + 4);
        // The radio button sits at the grid's top left corner.
        auto* cell = new QGridLayout;
        cell->setSpacing(0);
        cell->addWidget(m_practiceGrids[i], 0, 0);
        cell->addWidget(m_kinds[i], 0, 0, Qt::AlignLeft | Qt::AlignTop);
        layout->addLayout(cell, 1);
        // Clicking a cell of a grid selects its kind.
        QRadioButton* radio = m_kinds[i];
        connect(m_practiceGrids[i], &QTableView::pressed, radio, [radio] { radio->setChecked(true); });
    }
    m_kinds[0]->setChecked(true);

    m_practiceName = new QLabel(s("合计："));
    m_practiceName->setObjectName(QStringLiteral("Label4"));
    QFont bold = m_practiceName->font();
    bold.setBold(true);
    m_practiceName->setFont(bold);
    m_practiceAdd = button("BitBtn5", s("增加"));
    m_practiceEdit = button("BitBtn6", s("编辑"));
    m_practiceDelete = button("BitBtn7", s("删除"));
    auto* row = new QHBoxLayout;
    row->addWidget(m_practiceName);
    row->addStretch();
    for (QPushButton* b : {m_practiceAdd, m_practiceEdit, m_practiceDelete})
        row->addWidget(b);
    layout->addLayout(row);

    connect(m_practiceAdd, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    connect(m_practiceEdit, &QPushButton::clicked, this, [this] { BitBtn6Click(); });
    connect(m_practiceDelete, &QPushButton::clicked, this, [this] { BitBtn7Click(); });
    return page;
}

void WorkloadTabs::bindDataSources()
{
    dmmsdb->dbllsj->setColumns(columns({{"Nd", "学年"},
                                        {"Kname", "课程名"},
                                        {"T1", "理论学时"},
                                        {"Banji", "授课班级"},
                                        {"Gm", "规模排课"},
                                        {"R1", "人数"},
                                        {"Shuoming", "课程类型"},
                                        {"Yan", "班级类型"},
                                        {"T2", "实验学时"},
                                        {"R2", "实验人数"},
                                        {"Fzs", "分组数"},
                                        {"S1", "课堂规模(S1)"},
                                        {"K11", "规模系数(K11)"},
                                        {"K12", "课外系数(K12)"},
                                        {"S2", "实验规模(S2)"},
                                        {"Q11", "课堂工作量(Q11)"},
                                        {"Q12", "课外工作量(Q12)"},
                                        {"K2", "教学班规模(K2)"},
                                        {"Q2", "实验工作量(Q2)"}}));
    dmmsdb->dbsxsj->setColumns(columns({{"Kname", "实习设计名"},
                                        {"W", "周数"},
                                        {"Banji", "班级"},
                                        {"Gm", "规模排课"},
                                        {"R3", "人数"},
                                        {"Shuoming", "实习设计类型"},
                                        {"S3", "规模"},
                                        {"K31", "实验工作量(K31)"},
                                        {"Q31", "实习工作量"}}));
    dmmsdb->dbbysj->setColumns(columns({{"Kname", "本科毕业设计班级"}, {"R32", "指导人数"}, {"Q32", "工作量"}}));
    dmmsdb->dbzdss->setColumns(columns({{"Kname", "指导研究生班级"}, {"R33", "指导人数"}, {"Q33", "工作量"}}));
    GridBinding::bind(m_theoryGrid, dmmsdb->dbllsj);
    GridBinding::bind(m_practiceGrids[0], dmmsdb->dbsxsj);
    GridBinding::bind(m_practiceGrids[1], dmmsdb->dbbysj);
    GridBinding::bind(m_practiceGrids[2], dmmsdb->dbzdss);
    GridColumns::fitToContents(m_theoryGrid);
    for (QTableView* view : m_practiceGrids)
        GridColumns::fitToContents(view);
}

void WorkloadTabs::setEditingEnabled(bool enabled)
{
    for (QPushButton* b : {m_theoryAdd, m_theoryEdit, m_theoryDelete, m_practiceAdd, m_practiceEdit, m_practiceDelete})
        b->setEnabled(enabled);
}

void WorkloadTabs::enableCalculate()
{
    m_calculate->setEnabled(true);
}

void WorkloadTabs::showTeacher(const QString& total, const QString& name)
{
    m_total->setText(total);
    m_theoryName->setText(name);
    m_practiceName->setText(name);
}

bool WorkloadTabs::confirmDelete()
{
    return MessageBox::show(this, s("提示信息"), s("你确信要删除选择数据吗？"), MessageBox::NoIcon,
                            MessageBox::OkCancel) == MessageBox::AnswerOk;
}

void WorkloadTabs::deleteRow(const QString& xh)
{
    Query* q = dmmsdb->dtbmdm1;
    q->setStatement({QStringLiteral("delete from gzl"), QStringLiteral("where xh=") + Sql::quote(xh)});
    q->execSql();
}

void WorkloadTabs::BitBtn1Click()
{
    ErrorDisplay::guard(this, [] {
        loginState().TheoryEntryMode = 1;
        fmlilunf->exec();
        dmmsdb->dtllsj->last();
    });
}

void WorkloadTabs::BitBtn2Click()
{
    ErrorDisplay::guard(this, [] {
        Query* q = dmmsdb->dtllsj;
        if (q->recordCount() == 0)
            return;
        const Query::Bookmark mark = q->getBookmark();
        loginState().TheoryEntryMode = 0;
        fmlilunf->exec();
        q->gotoBookmark(mark);
    });
}

void WorkloadTabs::BitBtn3Click()
{
    ErrorDisplay::guard(this, [this] {
        Query* q = dmmsdb->dtllsj;
        if (q->recordCount() == 0)
            return;
        const QString xh = q->fieldByName(QStringLiteral("xh")).asString();
        if (!confirmDelete())
            return;
        deleteRow(xh);
        // The row before the deleted one stays current; after the first row, the new first row.
        q->prior();
        std::optional<Query::Bookmark> mark;
        if (!q->bof())
            mark = q->getBookmark();
        reopen(q);
        if (mark)
            q->gotoBookmark(*mark);
    });
}

void WorkloadTabs::BitBtn4Click()
{
    ErrorDisplay::guard(this, [this] {
        Query* q = dmmsdb->dtllsj;
        if (q->recordCount() == 0)
            return;
        const Query::Bookmark mark = q->getBookmark();
        {
            WaitCursor wait;
            CalculateWorkload(loginState().YearFilter);
        }
        reopen(q);
        q->gotoBookmark(mark);
        for (Query* view : {dmmsdb->dtsxsj, dmmsdb->dtbysj, dmmsdb->dtzdss})
            reopen(view);
        Query* teacher = dmmsdb->dtbmdm2;
        teacher->setStatement(
            {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and") + loginState().NodeFilter});
        teacher->open();
        m_total->setText(teacher->fieldByName(QStringLiteral("Q")).asString());
    });
}

int WorkloadTabs::practiceKind() const
{
    if (m_kinds[2]->isChecked())
        return 3;
    if (m_kinds[1]->isChecked())
        return 2;
    return 1;
}

Query* WorkloadTabs::practiceHolder(int kind) const
{
    switch (kind) {
    case 3:
        return dmmsdb->dtzdss;
    case 2:
        return dmmsdb->dtbysj;
    default:
        return dmmsdb->dtsxsj;
    }
}

void WorkloadTabs::BitBtn5Click()
{
    ErrorDisplay::guard(this, [this] {
        loginState().PracticeKind = practiceKind();
        fmsjjxf->exec();
    });
}

void WorkloadTabs::BitBtn6Click()
{
    ErrorDisplay::guard(this, [this] {
        const int kind = practiceKind();
        loginState().PracticeKind = kind + 3;
        if (practiceHolder(kind)->recordCount() == 0)
            return;
        fmsjjxf->exec();
    });
}

void WorkloadTabs::BitBtn7Click()
{
    ErrorDisplay::guard(this, [this] {
        Query* q = practiceHolder(practiceKind());
        if (q->recordCount() == 0)
            return;
        const QString xh = q->fieldByName(QStringLiteral("xh")).asString();
        if (!confirmDelete())
            return;
        deleteRow(xh);
        reopen(q);
    });
}
