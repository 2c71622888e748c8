#include "exchangeui/ImportScreen.h"

#include "exchangeui/ExchangeFolder.h"
#include "exchangeui/ProgressPanel.h"
#include "gui/ErrorDisplay.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "gui/Named.h"
#include "gui/WaitCursor.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

ImportScreen::ImportScreen(DataModule& data, QWidget* parent)
    : SideScreen(QStringLiteral("导入"), parent), m_path(named(new QLineEdit, "Edit1")),
      m_browse(named(new QToolButton, "SpeedButton1")), m_panel(new ProgressPanel), m_data(data)
{
    setObjectName(QStringLiteral("fmrecover"));
    setWindowTitle(QStringLiteral("导入备份资料"));
    m_browse->setText(QStringLiteral("┅"));

    auto* source = new QHBoxLayout;
    source->addWidget(named(new QLabel(QStringLiteral("源文件：")), "Label3"));
    source->addWidget(m_path);
    source->addWidget(m_browse);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(named(new QLabel(QStringLiteral("选择备份文件：")), "Label1"));
    layout->addLayout(source);
    layout->addWidget(m_panel);
    layout->addWidget(named(new QLabel(QStringLiteral("注：系统只能导入自身的数据；")), "Label4"));
    layout->addLayout(buttonRow());

    connect(m_browse, &QToolButton::clicked, this, &ImportScreen::onBrowseClicked);
    connect(actionButton(), &QPushButton::clicked, this, &ImportScreen::onImportClicked);
    // Enter in the path field: "导入", as typing a path and pressing Enter means.
    connect(m_path, &QLineEdit::returnPressed, actionButton(), &QPushButton::click);
}

void ImportScreen::refill()
{
    m_path->clear();
    m_panel->setProgress(0);
}

void ImportScreen::onBrowseClicked()
{
    const QString chosen = FileDialog::openFile(this, QStringLiteral("选择备份文件"), ExchangeFolder::start(), Filter);
    if (chosen.isEmpty())
        return;
    ExchangeFolder::remember(QFileInfo(chosen).absolutePath());
    m_path->setText(QDir::toNativeSeparators(chosen));
}

void ImportScreen::reset()
{
    m_panel->setProgress(0);
    m_panel->setBusy(false);
    m_panel->setStatus(QStringLiteral("正在选择接收源文件..."));
}

WorkloadImport::Outcome ImportScreen::prepare(WorkloadImport& importer, const QString& path)
{
    const WorkloadImport::Outcome copied = importer.copyToWorkCopy(path);
    if (copied != WorkloadImport::Outcome::Ready)
        return copied;
    m_panel->setProgress(5);
    m_panel->setStatus(QStringLiteral("正在检查数据库文件..."));
    return importer.openWorkCopy();
}

void ImportScreen::onImportClicked()
{
    WorkloadImport importer(m_data);
    if (m_clock)
        importer.setClock(m_clock);
    importer.makeCounters();
    const QString path = QDir::fromNativeSeparators(m_path->text());
    if (path.isEmpty()) {
        MessageBox::error(this, WorkloadImport::NoPath);
        return;
    }
    m_panel->setBusy(true);
    m_panel->setStatus(QStringLiteral("正在提取数据库文件..."));

    WorkloadImport::Outcome outcome = WorkloadImport::Outcome::Ready;
    QString failure; // not the file's fault: shown in its own words
    {
        WaitCursor wait;
        try {
            outcome = prepare(importer, path);
            if (outcome == WorkloadImport::Outcome::Ready) {
                m_panel->setProgress(10);
                m_panel->setStatus(QStringLiteral("正在写入数据库文件..."));
                m_counts =
                    importer.run([this](int progress, const QString& status) { m_panel->report(progress, status); });
            }
        } catch (const ProgramError& e) {
            // A store error in the passes: every change of them has been rolled back.
            failure = e.text();
            if (dynamic_cast<const StoreError*>(&e))
                failure += QStringLiteral("\n") + WorkloadImport::RolledBack;
        }
    }
    if (outcome != WorkloadImport::Outcome::Ready) {
        MessageBox::error(this, WorkloadImport::message(outcome));
        reset();
        return;
    }
    if (!failure.isNull()) {
        ErrorDisplay::show(this, failure);
        reset();
        return;
    }
    m_panel->setProgress(100);
    m_panel->setBusy(false);
    m_panel->setStatus(QStringLiteral("接收数据文件已经完成"));
    ExchangeFolder::remember(QFileInfo(path).absolutePath());
    MessageBox::information(this, WorkloadImport::Done);
    close();
}
