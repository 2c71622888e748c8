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
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

ExportScreen::ExportScreen(DataModule& data, const Session& session, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_dbt(named(new QRadioButton(QStringLiteral(".dbt")), "RadioButton1")),
      m_dbf(named(new QRadioButton(QStringLiteral(".dbf")), "RadioButton2")),
      m_firstDestination(named(new QRadioButton, "RadioButton3")),
      m_directory(named(new QRadioButton(QStringLiteral("指定目录")), "RadioButton4")),
      m_path(named(new QLineEdit, "Edit1")), m_browse(named(new QToolButton, "SpeedButton1")),
      m_panel(new ProgressPanel), m_export(named(new QPushButton(QStringLiteral("导出")), "BitBtn1")),
      m_return(named(new QPushButton(QStringLiteral("返回")), "BitBtn2")), m_data(data), m_session(session)
{
    setObjectName(QStringLiteral("fmsavefile"));
    setWindowTitle(QStringLiteral("备份数据"));
    m_browse->setText(QStringLiteral("┅"));
    m_export->setDefault(true);
    // Enter on a focused button presses it (outside a dialog class buttons do not take Enter).
    m_export->setAutoDefault(true);
    m_return->setAutoDefault(true);
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

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_export);
    buttons->addWidget(m_return);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(formatRow);
    layout->addWidget(destinationBox);
    layout->addWidget(m_panel);
    layout->addLayout(buttons);

    connect(m_dbt, &QRadioButton::toggled, this, &ExportScreen::onFormatClicked);
    connect(m_firstDestination, &QRadioButton::toggled, this, &ExportScreen::onDestinationClicked);
    connect(m_browse, &QToolButton::clicked, this, &ExportScreen::onBrowseClicked);
    connect(m_export, &QPushButton::clicked, this, &ExportScreen::onExportClicked);
    // Enter in the path field: "导出", as typing a path and pressing Enter means.
    connect(m_path, &QLineEdit::returnPressed, m_export, &QPushButton::click);
    connect(m_return, &QPushButton::clicked, this, &QWidget::close);
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

void ExportScreen::showEvent(QShowEvent* event)
{
    // Refilled when the program shows it, not when the window system restores it from an icon.
    if (!event->spontaneous())
        refill();
    QWidget::showEvent(event);
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

void ExportScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel)) // Esc, as on a dialog
        close();
    else
        QWidget::keyPressEvent(event);
}

void ExportScreen::ready()
{
    m_panel->setBusy(false);
    m_export->setEnabled(true);
    m_panel->setStatus(QStringLiteral("正在选择目的文件目录..."));
}

ExportScreen::Result ExportScreen::runExport()
{
    WaitCursor wait;
    WorkloadExport exporter(m_data);
    try {
        if (exporter.selectRows(m_session.selection) == 0)
            return Result::NoRows;
        exporter.fillWorkTable(m_format,
                               [this](int progress, const QString& status) { m_panel->report(progress, status); });
        m_panel->setStatus(QStringLiteral("正在复制数据文件到目的地..."));
        const QString destination = m_firstDestination->isChecked() ? m_firstDestination->text() : m_path->text();
        exporter.writeFile(m_format, destination);
        ExchangeFolder::remember(QFileInfo(QDir::fromNativeSeparators(destination)).absolutePath());
    } catch (const StoreError& e) {
        m_storeError = e.text();
        return Result::StoreFailed;
    } catch (const ExchangeFileError& e) {
        if (e.isValueRefused()) {
            // The file cannot carry a stored value: that value is the operator's to mend, not the disk.
            m_refusal = e.text();
            return Result::ValueRefused;
        }
        return Result::CopyFailed;
    }
    return Result::Done;
}

void ExportScreen::onExportClicked()
{
    m_panel->setBusy(true);
    m_export->setEnabled(false);
    m_panel->setStatus(QStringLiteral("正在提取数据库文件..."));
    switch (runExport()) {
    case Result::NoRows:
        MessageBox::error(this, WorkloadExport::NoRows);
        ready();
        return;
    case Result::StoreFailed:
        ErrorDisplay::show(this, m_storeError);
        m_panel->setProgress(0);
        ready();
        return;
    case Result::CopyFailed:
        MessageBox::error(this, WorkloadExport::CopyFailed);
        m_panel->setProgress(0);
        ready();
        return;
    case Result::ValueRefused:
        MessageBox::error(this, m_refusal);
        m_panel->setProgress(0);
        ready();
        return;
    case Result::Done:
        break;
    }
    m_panel->setProgress(100);
    m_panel->setBusy(false);
    m_export->setEnabled(true);
    m_panel->setStatus(QStringLiteral("复制数据文件已经完成"));
    MessageBox::information(this, WorkloadExport::Done);
    close();
}
