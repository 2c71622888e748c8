#include "exchangeui/ExportScreen.h"

#include "exchange/ExchangeTable.h"
#include "exchangeui/ExchangeFolder.h"
#include "exchangeui/ProgressPanel.h"
#include "gui/ErrorDisplay.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "gui/Named.h"
#include "gui/WaitCursor.h"
#include "session/Session.h"
#include "store/StoreError.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

ExportScreen::ExportScreen(DataModule& data, const Session& session, QWidget* parent)
    : SideScreen(QStringLiteral("导出"), parent),
      m_dbt(named(new QRadioButton(QStringLiteral(".dbt")), "RadioButton1")),
      m_dbf(named(new QRadioButton(QStringLiteral(".dbf")), "RadioButton2")),
      m_firstDestination(named(new QRadioButton, "RadioButton3")),
      m_directory(named(new QRadioButton(QStringLiteral("指定目录")), "RadioButton4")),
      m_path(named(new QLineEdit, "Edit1")), m_browse(named(new QToolButton, "SpeedButton1")),
      m_panel(new ProgressPanel), m_data(data), m_session(session)
{
    setObjectName(QStringLiteral("fmsavefile"));
    setWindowTitle(QStringLiteral("备份数据"));
    m_browse->setText(QStringLiteral("┅"));
    m_dbt->setChecked(true);
    m_firstDestination->setChecked(true);

    auto* formats = new QButtonGroup(this);
    formats->addButton(m_dbt);
    formats->addButton(m_dbf);
    auto* destinations = new QButtonGroup(this);
    destinations->addButton(m_firstDestination);
    destinations->addButton(m_directory);

    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(named(new QLabel(QStringLiteral("备份数据到:")), "Label1"));
    formatRow->addWidget(m_dbt);
    formatRow->addWidget(m_dbf);
    formatRow->addStretch();

    auto* destinationBox = new QGroupBox;
    auto* grid = new QGridLayout(destinationBox);
    grid->addWidget(m_firstDestination, 0, 0, 1, 3);
    grid->addWidget(m_directory, 1, 0);
    grid->addWidget(m_path, 1, 1);
    grid->addWidget(m_browse, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(formatRow);
    layout->addWidget(destinationBox);
    layout->addWidget(m_panel);
    layout->addLayout(buttonRow());

    connect(m_dbt, &QRadioButton::toggled, this, &ExportScreen::onFormatClicked);
    connect(m_firstDestination, &QRadioButton::toggled, this, &ExportScreen::onDestinationClicked);
    connect(m_browse, &QToolButton::clicked, this, &ExportScreen::onBrowseClicked);
    connect(actionButton(), &QPushButton::clicked, this, &ExportScreen::onExportClicked);
    // Enter in the path field: "导出", as typing a path and pressing Enter means.
    connect(m_path, &QLineEdit::returnPressed, actionButton(), &QPushButton::click);
    onDestinationClicked();
}

QString ExportScreen::defaultDestination()
{
#ifdef Q_OS_WIN
    return QStringLiteral("A:\\bt");
#else
    return QDir::homePath() + QStringLiteral("/bt");
#endif
}

QString ExportScreen::destinationFor(const QString& directory)
{
    if (directory.size() <= 3)
        return directory + QStringLiteral("bt");
    return directory + QDir::separator() + QStringLiteral("bt");
}

void ExportScreen::refill()
{
    m_firstDestination->setText(defaultDestination());
    m_path->setText(defaultDestination());
    m_panel->setProgress(0);
    m_dbt->setChecked(true);
    m_format = WorkloadExport::Format::Paradox;
    setWindowTitle(QStringLiteral("备份：") + m_session.selection.YearFilter() + QStringLiteral("的工作量"));
}

void ExportScreen::onFormatClicked()
{
    m_format = m_dbt->isChecked() ? WorkloadExport::Format::Paradox : WorkloadExport::Format::Dbase;
}

void ExportScreen::onDestinationClicked()
{
    const bool own = m_directory->isChecked();
    m_path->setEnabled(own);
    m_browse->setEnabled(own);
}

void ExportScreen::onBrowseClicked()
{
    const QString chosen = FileDialog::directory(this, QStringLiteral("选择目录"), ExchangeFolder::start());
    if (chosen.isEmpty())
        return;
    ExchangeFolder::remember(chosen);
    m_path->setText(destinationFor(QDir::toNativeSeparators(chosen)));
}

void ExportScreen::ready()
{
    m_panel->setBusy(false);
    actionButton()->setEnabled(true);
    m_panel->setStatus(QStringLiteral("正在选择目的文件目录..."));
}

ExportScreen::Result ExportScreen::runExport()
{
    WaitCursor wait;
    WorkloadExport exporter(m_data);
    try {
        if (exporter.selectRows(m_session.selection) == 0) {
            m_failure = WorkloadExport::NoRows;
            return Result::NoRows;
        }
        exporter.fillWorkTable(m_format,
                               [this](int progress, const QString& status) { m_panel->report(progress, status); });
        m_panel->setStatus(QStringLiteral("正在复制数据文件到目的地..."));
        const QString destination = m_firstDestination->isChecked() ? m_firstDestination->text() : m_path->text();
        exporter.writeFile(m_format, destination);
        ExchangeFolder::remember(QFileInfo(QDir::fromNativeSeparators(destination)).absolutePath());
    } catch (const StoreError& e) {
        m_failure = e.text();
        return Result::StoreFailed;
    } catch (const ExchangeFileError& e) {
        // A stored value the file cannot carry is the operator's to mend, not the disk: it is named.
        m_failure = e.isValueRefused() ? e.text() : WorkloadExport::CopyFailed;
        return Result::CopyFailed;
    }
    return Result::Done;
}

void ExportScreen::onExportClicked()
{
    m_panel->setBusy(true);
    actionButton()->setEnabled(false);
    m_panel->setStatus(QStringLiteral("正在提取数据库文件..."));
    const Result result = runExport();
    if (result != Result::Done) {
        if (result != Result::NoRows) // the bar may have moved
            m_panel->setProgress(0);
        if (result == Result::StoreFailed)
            ErrorDisplay::show(this, m_failure);
        else
            MessageBox::error(this, m_failure);
        ready();
        return;
    }
    m_panel->setProgress(100);
    m_panel->setBusy(false);
    actionButton()->setEnabled(true);
    m_panel->setStatus(QStringLiteral("复制数据文件已经完成"));
    MessageBox::information(this, WorkloadExport::Done);
    close();
}
