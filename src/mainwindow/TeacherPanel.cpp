#include "mainwindow/TeacherPanel.h"

#include "calc/WorkloadCalculator.h"
#include "gui/ButtonRow.h"
#include "gui/ErrorDisplay.h"
#include "gui/GridBinding.h"
#include "gui/GridColumns.h"
#include "gui/ListCommands.h"
#include "gui/RecordCountLabel.h"
#include "gui/RecordDialog.h"
#include "gui/WaitCursor.h"
#include "masterdata/MasterDataText.h"
#include "masterdata/Teachers.h"
#include "session/Session.h"
#include "store/DataModule.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TeacherPanel::TeacherPanel(DataModule& data, Session& session, WorkloadCalculator& calculator, RecordDialog& dialog,
                           QWidget* parent)
    : QWidget(parent), m_data(data), m_session(session), m_calculator(calculator), m_dialog(dialog),
      m_count(new RecordCountLabel), m_grid(new QTableView)
{
    setObjectName(QStringLiteral("Panel4"));
    m_count->setObjectName(QStringLiteral("Label5"));
    m_grid->setObjectName(QStringLiteral("DBGrid5"));
    m_grid->setAlternatingRowColors(true);

    auto* countLine = new QHBoxLayout;
    countLine->addWidget(new QLabel(QStringLiteral("当前记录数:")));
    countLine->addWidget(m_count);
    countLine->addStretch();

    m_editing = {command("BitBtn8", "增加"), command("BitBtn9", "编辑"), command("BitBtn10", "删除")};
    connect(m_editing[0], &QPushButton::clicked, this, &TeacherPanel::onAddClicked);
    connect(m_editing[1], &QPushButton::clicked, this, &TeacherPanel::onEditClicked);
    connect(m_editing[2], &QPushButton::clicked, this, &TeacherPanel::onDeleteClicked);
    // "打印" is answered by the program, which owns the report.
    QPushButton* print = command("BitBtn11", "打印");
    connect(print, &QPushButton::clicked, this, &TeacherPanel::printRequested);
    QPushButton* calculate = command("BitBtn12", "计算");
    connect(calculate, &QPushButton::clicked, this, &TeacherPanel::onCalculateClicked);
    setEditingEnabled(false);

    auto* buttons = new ButtonRow({m_editing[0], m_editing[1], m_editing[2], print, calculate});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(countLine);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
}

QPushButton* TeacherPanel::command(const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    return b;
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
    m_count->setCount(count);
}

void TeacherPanel::setEditingEnabled(bool enabled)
{
    for (QPushButton* b : m_editing)
        b->setEnabled(enabled);
}

void TeacherPanel::onAddClicked()
{
    ErrorDisplay::guard(this, [this] {
        ListCommands::add(*m_data.dtrydm, *m_count,
                          [this] { return m_dialog.exec(RecordDialog::Mode::Add) == QDialog::Accepted; });
    });
}

void TeacherPanel::onEditClicked()
{
    if (m_data.dtrydm->recordCount() == 0)
        return;
    ErrorDisplay::guard(
        this, [this] { ListCommands::edit(*m_data.dtrydm, [this] { m_dialog.exec(RecordDialog::Mode::Edit); }); });
}

void TeacherPanel::onDeleteClicked()
{
    if (m_data.dtrydm->recordCount() == 0)
        return;
    ErrorDisplay::guard(this, [this] {
        ListCommands::remove(
            this, *m_data.dtrydm, *m_count, MasterDataText::TeacherDeleteQuestion, [this]() -> std::optional<QString> {
                const Outcome outcome =
                    Teachers(m_data).remove(m_data.dtrydm->fieldByName(QStringLiteral("rydm")).asString());
                return outcome.ok() ? std::nullopt : std::optional(outcome.message);
            });
    });
}

void TeacherPanel::onCalculateClicked()
{
    Query* list = m_data.dtrydm;
    if (list->recordCount() == 0)
        return;
    ErrorDisplay::guard(this, [&] {
        const Query::Bookmark row = list->getBookmark();
        {
            WaitCursor wait;
            m_calculator.calculate(m_session.selection);
        }
        list->close();
        list->open();
        list->gotoBookmark(row);
    });
}
