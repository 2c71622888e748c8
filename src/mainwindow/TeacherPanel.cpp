#include "mainwindow/TeacherPanel.h"

#include "gui/GridBinding.h"
#include "gui/GridColumns.h"
#include "store/DataModule.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TeacherPanel::TeacherPanel(DataModule& data, QWidget* parent)
    : QWidget(parent), m_data(data), m_count(new QLabel), m_grid(new QTableView)
{
    setObjectName(QStringLiteral("Panel4"));
    m_count->setObjectName(QStringLiteral("Label5"));
    m_grid->setObjectName(QStringLiteral("DBGrid5"));
    m_grid->setAlternatingRowColors(true);

    auto* countLine = new QHBoxLayout;
    countLine->addWidget(new QLabel(QStringLiteral("当前记录数:")));
    countLine->addWidget(m_count);
    countLine->addStretch();

    // The grid's commands (adding, editing, deleting teachers, the printed list, the node's
    // calculation) come with the teacher screens; until then they stay disabled.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const std::pair<const char*, const char*> commands[] = {
        {"BitBtn8", "增加"}, {"BitBtn9", "编辑"}, {"BitBtn10", "删除"}, {"BitBtn11", "打印"}, {"BitBtn12", "计算"}};
    for (const auto& [name, caption] : commands) {
        auto* b = new QPushButton(QString::fromUtf8(caption));
        b->setObjectName(QString::fromLatin1(name));
        b->setEnabled(false);
        buttons->addWidget(b);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(countLine);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
}

void TeacherPanel::bindDataSources()
{
    m_data.dbrydm->setColumns({{QStringLiteral("Bmmc"), QStringLiteral("教研室名称")},
                                {QStringLiteral("rydm"), QStringLiteral("教师代码")},
                                {QStringLiteral("rymc"), QStringLiteral("教师姓名")},
                                {QStringLiteral("ryzc"), QStringLiteral("职称")},
                                {QStringLiteral("ryxz"), QStringLiteral("性质")},
                                {QStringLiteral("rygw"), QStringLiteral(" 岗位")},
                                {QStringLiteral("q"), QStringLiteral("总工作量")},
                                {QStringLiteral("q11"), QStringLiteral("课堂")},
                                {QStringLiteral("q12"), QStringLiteral("课外")},
                                {QStringLiteral("q2"), QStringLiteral("实验")},
                                {QStringLiteral("q31"), QStringLiteral("实习、设计")},
                                {QStringLiteral("q32"), QStringLiteral("毕业设计")},
                                {QStringLiteral("q33"), QStringLiteral("指导研究生")}});
    GridBinding::bind(m_grid, m_data.dbrydm);
    GridColumns::fitToContents(m_grid);
}

void TeacherPanel::setCount(int count)
{
    m_count->setText(QString::number(count));
}
