#include "paramsui/ParameterScreen.h"

#include "gui/ErrorDisplay.h"
#include "gui/GridBinding.h"
#include "gui/GridColumns.h"
#include "gui/MessageBox.h"
#include "gui/Named.h"
#include "store/DataModule.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QTableView* grid(const char* name)
{
    auto* view = named(new QTableView, name);
    view->setAlternatingRowColors(true);
    return view;
}

QLineEdit* input(const char* name)
{
    return named(new QLineEdit(QStringLiteral("0")), name);
}

// The line under a grid or an input: an optional count, the input, "确认修改" and "返回".
QHBoxLayout* commandRow(QLabel* count, const QString& inputCaption, QLineEdit* edit, QPushButton* confirm,
                        QPushButton* back)
{
    auto* row = new QHBoxLayout;
    if (count) {
        row->addWidget(new QLabel(QStringLiteral("当前记录数:")));
        row->addWidget(count);
        row->addSpacing(24);
    }
    row->addWidget(new QLabel(inputCaption));
    row->addWidget(edit);
    row->addStretch();
    row->addWidget(confirm);
    row->addWidget(back);
    return row;
}

} // namespace

ParameterScreen::ParameterScreen(DataModule& data, QWidget* parent)
    : QDialog(parent), m_data(data), m_parameters(data), m_tabs(named(new QTabWidget, "PageControl1")),
      m_k12Grid(grid("DBGrid1")), m_s3Grid(grid("DBGrid2")), m_k12Input(input("Edit1")), m_s3Input(input("Edit2")),
      m_k31Input(input("Edit3")), m_k12Count(named(new QLabel, "Label2")), m_s3Count(named(new QLabel, "Label4")),
      m_k31Original(named(new QLabel, "Label6"))
{
    setObjectName(QStringLiteral("fmcsdyF"));
    setWindowTitle(QStringLiteral("参数管理"));
    setModal(true);
    m_tabs->addTab(buildPage(1, m_k12Grid, m_k12Count, QStringLiteral("k12:"), m_k12Input,
                             [this] {
                                 confirmChange(m_k12Input, QStringLiteral("k12"), Parameters::checkK12,
                                               [this](const QString& text) {
                                                   return m_parameters.setK12(text, m_k12Shuoming, m_k12Yan);
                                               });
                             }),
                   QStringLiteral("定义k12"));
    m_tabs->addTab(buildPage(2, m_s3Grid, m_s3Count, QStringLiteral("S3:"), m_s3Input,
                             [this] {
                                 confirmChange(
                                     m_s3Input, QStringLiteral("S3"), Parameters::checkS3,
                                     [this](const QString& text) { return m_parameters.setS3(text, m_s3Shuoming); });
                             }),
                   QStringLiteral("定义S3"));
    m_tabs->addTab(buildPage(3, m_k31Original, nullptr, QStringLiteral("课程实习、设计系数："), m_k31Input,
                             [this] {
                                 confirmChange(m_k31Input, QStringLiteral("K31"), Parameters::checkK31,
                                               [this](const QString& text) { return m_parameters.setK31(text); });
                             }),
                   QStringLiteral("定义k31"));
    chooseRowsOf(m_k12Grid, m_data.dtk12, m_k12Input, QStringLiteral("k12"), [this](const Query& row) {
        m_k12Shuoming = row.fieldByName(QStringLiteral("shuoming")).asString();
        m_k12Yan = row.fieldByName(QStringLiteral("yan")).asString();
    });
    chooseRowsOf(m_s3Grid, m_data.dts3, m_s3Input, QStringLiteral("k11"),
                 [this](const Query& row) { m_s3Shuoming = row.fieldByName(QStringLiteral("shuoming")).asString(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    bindDataSources();
    resize(640, 480);
}

QWidget* ParameterScreen::buildPage(int number, QWidget* shown, QLabel* count, const QString& caption, QLineEdit* edit,
                                    const std::function<void()>& confirmed)
{
    auto* page = named(new QWidget, QStringLiteral("TabSheet%1").arg(number));
    auto* confirm = named(new QPushButton(QStringLiteral("确认修改")), QStringLiteral("BitBtn%1").arg(2 * number - 1));
    auto* back = named(new QPushButton(QStringLiteral("返回")), QStringLiteral("BitBtn%1").arg(2 * number));
    auto* layout = new QVBoxLayout(page);
    if (count) {
        layout->addWidget(shown, 1);
        layout->addLayout(commandRow(count, caption, edit, confirm, back));
    } else {
        layout->addStretch();
        layout->addWidget(shown);
        layout->addLayout(commandRow(nullptr, caption, edit, confirm, back));
        layout->addStretch();
    }
    connect(confirm, &QPushButton::clicked, this, confirmed);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

void ParameterScreen::chooseRowsOf(QTableView* grid, Query* rows, QLineEdit* edit, const QString& valueField,
                                   const std::function<void(const Query&)>& remember)
{
    const auto choose = [rows, edit, valueField, remember](const QModelIndex& index, bool focusInput) {
        if (!index.isValid() || index.row() >= rows->recordCount())
            return;
        rows->moveTo(index.row());
        edit->setText(rows->fieldByName(valueField).asString());
        remember(*rows);
        if (focusInput)
            edit->setFocus();
    };
    connect(grid, &QTableView::clicked, this, [choose](const QModelIndex& index) { choose(index, false); });
    connect(grid, &QTableView::doubleClicked, this, [choose](const QModelIndex& index) { choose(index, true); });
}

void ParameterScreen::bindDataSources()
{
    m_data.dbk12->setColumns({{QStringLiteral("shuoming"), QStringLiteral("说明")},
                              {QStringLiteral("yan"), QStringLiteral("课程类型")},
                              {QStringLiteral("k12"), QStringLiteral("K12")}});
    m_data.Dbs3->setColumns(
        {{QStringLiteral("shuoming"), QStringLiteral("说明")}, {QStringLiteral("k11"), QStringLiteral("S3")}});
    for (auto [view, source] : {std::pair{m_k12Grid, m_data.dbk12}, std::pair{m_s3Grid, m_data.Dbs3}}) {
        GridBinding::bind(view, source);
        GridColumns::fitToContents(view);
    }
}

void ParameterScreen::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ErrorDisplay::guard(this, [this] { refill(); });
}

void ParameterScreen::refill()
{
    m_parameters.openLists();
    m_k31Input->setText(m_parameters.readK31());
    m_k12Count->setText(QString::number(m_data.dtk12->recordCount()));
    m_s3Count->setText(QString::number(m_data.dts3->recordCount()));
    m_k31Original->setText(QStringLiteral("课程实习、设计系数原始值：") + m_k31Input->text());
}

bool ParameterScreen::refused(const Outcome& outcome, QLineEdit* input)
{
    if (outcome.ok())
        return false;
    MessageBox::error(this, outcome.message);
    // A number that is no number is typed again; one out of range is left as it is to be mended.
    if (outcome.status != Outcome::Status::OutOfRange)
        input->setFocus();
    return true;
}

void ParameterScreen::confirmChange(QLineEdit* input, const QString& name, Outcome (*check)(const QString&),
                                    const std::function<Outcome(const QString&)>& write)
{
    const QString text = input->text();
    if (refused(check(text), input))
        return;
    if (!MessageBox::question(this, QStringLiteral("你确信修改%1的数据吗？").arg(name)))
        return;
    ErrorDisplay::guard(this, [&] { refused(write(text), input); });
}
