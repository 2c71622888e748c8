#include "mainwindow/WorkloadTabs.h"

#include "calc/WorkloadCalculator.h"
#include "entry/PracticeEntryDialog.h"
#include "entry/TheoryEntryDialog.h"
#include "gui/ErrorDisplay.h"
#include "gui/GridBinding.h"
#include "gui/GridColumns.h"
#include "gui/ListCommands.h"
#include "gui/MessageBox.h"
#include "gui/WaitCursor.h"
#include "session/Session.h"
#include "store/DataModule.h"

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

} // namespace

WorkloadTabs::WorkloadTabs(DataModule& data, Session& session, WorkloadCalculator& calculator,
                           TheoryEntryDialog& theoryDialog, PracticeEntryDialog& practiceDialog, QWidget* parent)
    : QTabWidget(parent), m_data(data), m_session(session), m_calculator(calculator), m_theoryDialog(theoryDialog),
      m_practiceDialog(practiceDialog), m_rows(data, session)
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

    connect(m_theoryAdd, &QPushButton::clicked, this, [this] { onTheoryAddClicked(); });
    connect(m_theoryEdit, &QPushButton::clicked, this, [this] { onTheoryEditClicked(); });
    connect(m_theoryDelete, &QPushButton::clicked, this, [this] { onTheoryDeleteClicked(); });
    connect(m_calculate, &QPushButton::clicked, this, [this] { onCalculateClicked(); });
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

    connect(m_practiceAdd, &QPushButton::clicked, this, [this] { onPracticeAddClicked(); });
    connect(m_practiceEdit, &QPushButton::clicked, this, [this] { onPracticeEditClicked(); });
    connect(m_practiceDelete, &QPushButton::clicked, this, [this] { onPracticeDeleteClicked(); });
    return page;
}

void WorkloadTabs::bindDataSources()
{
    m_data.dbllsj->setColumns(columns({{"Nd", "学年"},
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
    m_data.dbsxsj->setColumns(columns({{"Kname", "实习设计名"},
                                       {"W", "周数"},
                                       {"Banji", "班级"},
                                       {"Gm", "规模排课"},
                                       {"R3", "人数"},
                                       {"Shuoming", "实习设计类型"},
                                       {"S3", "规模"},
                                       {"K31", "实验工作量(K31)"},
                                       {"Q31", "实习工作量"}}));
    m_data.dbbysj->setColumns(columns({{"Kname", "本科毕业设计班级"}, {"R32", "指导人数"}, {"Q32", "工作量"}}));
    m_data.dbzdss->setColumns(columns({{"Kname", "指导研究生班级"}, {"R33", "指导人数"}, {"Q33", "工作量"}}));
    GridBinding::bind(m_theoryGrid, m_data.dbllsj);
    GridBinding::bind(m_practiceGrids[0], m_data.dbsxsj);
    GridBinding::bind(m_practiceGrids[1], m_data.dbbysj);
    GridBinding::bind(m_practiceGrids[2], m_data.dbzdss);
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

void WorkloadTabs::deleteCurrentRow(WorkloadRows::Category category, AfterDelete after)
{
    ErrorDisplay::guard(this, [&] {
        Query* q = m_rows.view(category);
        if (q->recordCount() == 0)
            return;
        const QString xh = q->fieldByName(QStringLiteral("xh")).asString();
        if (!MessageBox::confirm(this, s("你确信要删除选择数据吗？")))
            return;
        m_rows.deleteRow(xh);
        if (after == AfterDelete::RowBefore)
            q->reopenAtRowBefore();
        else
            m_rows.reopen(category);
    });
}

void WorkloadTabs::onTheoryAddClicked()
{
    ErrorDisplay::guard(this, [this] {
        m_theoryDialog.exec(TheoryEntryDialog::Mode::Add);
        m_data.dtllsj->last();
    });
}

void WorkloadTabs::onTheoryEditClicked()
{
    ErrorDisplay::guard(this, [this] {
        if (m_data.dtllsj->recordCount() == 0)
            return;
        ListCommands::edit(*m_data.dtllsj, [this] { m_theoryDialog.exec(TheoryEntryDialog::Mode::Edit); });
    });
}

void WorkloadTabs::onTheoryDeleteClicked()
{
    deleteCurrentRow(WorkloadRows::Category::Theory, AfterDelete::RowBefore);
}

void WorkloadTabs::onCalculateClicked()
{
    ErrorDisplay::guard(this, [this] {
        Query* q = m_data.dtllsj;
        if (q->recordCount() == 0)
            return;
        const Query::Bookmark mark = q->getBookmark();
        {
            WaitCursor wait;
            m_calculator.calculate(m_session.selection);
        }
        m_rows.reopen(WorkloadRows::Category::Theory);
        q->gotoBookmark(mark);
        for (auto c : {WorkloadRows::Category::Internship, WorkloadRows::Category::Graduation,
                       WorkloadRows::Category::Supervision})
            m_rows.reopen(c);
        m_total->setText(m_rows.teacherTotal(m_session.selection));
    });
}

// The kind whose radio button is checked (the internship one unless another is).
WorkloadRows::Category WorkloadTabs::practiceCategory() const
{
    if (m_kinds[2]->isChecked())
        return WorkloadRows::Category::Supervision;
    if (m_kinds[1]->isChecked())
        return WorkloadRows::Category::Graduation;
    return WorkloadRows::Category::Internship;
}

void WorkloadTabs::onPracticeAddClicked()
{
    ErrorDisplay::guard(this, [this] { m_practiceDialog.exec(practiceCategory(), PracticeEntryDialog::Mode::Add); });
}

void WorkloadTabs::onPracticeEditClicked()
{
    ErrorDisplay::guard(this, [this] {
        if (m_rows.view(practiceCategory())->recordCount() == 0)
            return;
        m_practiceDialog.exec(practiceCategory(), PracticeEntryDialog::Mode::Edit);
    });
}

void WorkloadTabs::onPracticeDeleteClicked()
{
    deleteCurrentRow(practiceCategory(), AfterDelete::FirstRow);
}
