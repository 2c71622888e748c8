#include "masterdataui/ListScreen.h"

#include "gui/ErrorDisplay.h"
#include "gui/GridBinding.h"
#include "gui/GridColumns.h"
#include "gui/ListCommands.h"
#include "gui/RecordCountLabel.h"
#include "store/DataModule.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

ListScreen::ListScreen(DataModule& data, Query& list, MasterDataDialog& dialog, const QString& name,
                       const QString& title, const QList<DataSource::Column>& columns, const QString& deleteQuestion,
                       QWidget* parent)
    : RefillingDialog(parent), m_data(data), m_list(list), m_dialog(dialog), m_deleteQuestion(deleteQuestion),
      m_count(new RecordCountLabel), m_grid(new QTableView), m_buttons(new QHBoxLayout),
      m_close(new QPushButton(QStringLiteral("返回")))
{
    setObjectName(name);
    setWindowTitle(title);
    resize(560, 420);

    auto* caption = new QLabel(QStringLiteral("当前记录数:"));
    caption->setObjectName(QStringLiteral("Label1"));
    m_count->setObjectName(QStringLiteral("Label2"));
    auto* countLine = new QHBoxLayout;
    countLine->addWidget(caption);
    countLine->addWidget(m_count);
    countLine->addStretch();

    // This screen's columns over the shared holder; other grids show it with columns of their own.
    auto* source = new DataSource(QStringLiteral("db") + list.objectName().mid(2), &list, this);
    source->setColumns(columns);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setAlternatingRowColors(true);
    GridBinding::bind(m_grid, source);
    GridColumns::fitToContents(m_grid);
    connect(m_grid, &QTableView::doubleClicked, this,
            [this] { ErrorDisplay::guard(this, [this] { onEditClicked(); }); });

    // No command is the default: Enter in the grid presses nothing.
    m_close->setAutoDefault(false);
    m_buttons->addStretch();
    m_buttons->addWidget(m_close);
    addCommand(QStringLiteral("增加"), [this] { onAddClicked(); });
    addCommand(QStringLiteral("编辑"), [this] { onEditClicked(); });
    addCommand(QStringLiteral("删除"), [this] { onDeleteClicked(); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(countLine);
    layout->addWidget(m_grid, 1);
    layout->addLayout(m_buttons);
}

QPushButton* ListScreen::addCommand(const QString& caption, const std::function<void()>& handler)
{
    auto* button = new QPushButton(caption);
    button->setAutoDefault(false);
    button->setObjectName(QStringLiteral("BitBtn%1").arg(++m_commands));
    m_close->setObjectName(QStringLiteral("BitBtn%1").arg(m_commands + 1));
    m_buttons->insertWidget(m_buttons->indexOf(m_close), button);
    connect(button, &QPushButton::clicked, this, [this, handler] { ErrorDisplay::guard(this, handler); });
    return button;
}

void ListScreen::refill()
{
    ErrorDisplay::guard(this, [this] {
        m_count->setCount(openList());
        setTitleAfterOpening();
    });
}

bool ListScreen::guardPasses() const
{
    return m_count->count() > 0;
}

void ListScreen::onAddClicked()
{
    ListCommands::add(m_list, *m_count, [this] { return m_dialog.exec(MasterDataDialog::Mode::Add) == Accepted; });
}

void ListScreen::onEditClicked()
{
    if (!guardPasses())
        return;
    ListCommands::edit(m_list, [this] { m_dialog.exec(MasterDataDialog::Mode::Edit); });
}

void ListScreen::onDeleteClicked()
{
    if (!guardPasses())
        return;
    ListCommands::remove(this, m_list, *m_count, m_deleteQuestion, [this]() -> std::optional<QString> {
        const Outcome outcome = removeCurrent();
        return outcome.ok() ? std::nullopt : std::optional(outcome.message);
    });
}
