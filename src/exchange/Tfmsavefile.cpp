#include "Tfmsavefile.h"

#include "ErrorDisplay.h"
#include "ExchangeTable.h"
#include "FileDialog.h"
#include "LoginState.h"
#include "MessageBox.h"
#include "StoreError.h"
#include "Tdmmsdb.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

Tfmsavefile::Tfmsavefile(QWidget* parent)
    : QWidget(parent, Qt::Window), m_dbt(named(new QRadioButton(QStringLiteral(".dbt")), "RadioButton1")),
      m_dbf(named(new QRadioButton(QStringLiteral(".dbf")), "RadioButton2")),
      m_firstDestination(named(new QRadioButton, "RadioButton3")),
      m_directory(named(new QRadioButton(QStringLiteral("指定目录")), "RadioButton4")),
      m_path(named(new QLineEdit, "Edit1")), m_browse(named(new QToolButton, "SpeedButton1")),
      m_animation(named(new QProgressBar, "Animate1")), m_status(named(new QLabel, "Label2")),
      m_progress(named(new QProgressBar, "ProgressBar1")),
      m_export(named(new QPushButton(QStringLiteral("导出")), "BitBtn1")),
      m_return(named(new QPushButton(QStringLiteral("返回")), "BitBtn2"))
{
    setObjectName(QStringLiteral("fmsavefile"));
    setWindowTitle(QStringLiteral("备份数据"));
    m_browse->setText(QStringLiteral("┅"));
    m_animation->setRange(0, 0); // a running busy indicator
    m_animation->setTextVisible(false);
    m_animation->hide();
    m_status->setText(QStringLiteral("正在复制数据文件到目的磁盘..."));
    m_progress->setRange(0, 100);
    m_export->setDefault(true);
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
    layout->addWidget(m_animation);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    connect(m_dbt, &QRadioButton::toggled, this, &Tfmsavefile::formatClick);
    connect(m_firstDestination, &QRadioButton::toggled, this, &Tfmsavefile::destinationClick);
    connect(m_browse, &QToolButton::clicked, this, &Tfmsavefile::SpeedButton1Click);
    connect(m_export, &QPushButton::clicked, this, &Tfmsavefile::BitBtn1Click);
    connect(m_return, &QPushButton::clicked, this, &QWidget::close);
    destinationClick();
}

QString Tfmsavefile::defaultDestination()
{
#ifdef Q_OS_WIN
    return QStringLiteral("A:\\bt");
#else
    return QDir::homePath() + QStringLiteral("/bt");
#endif
}

QString Tfmsavefile::defaultChooserStart()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:");
#else
    return QDir::homePath();
#endif
}

QString Tfmsavefile::destinationFor(const QString& directory)
{
    if (directory.size() <= 3)
        return directory + QStringLiteral("bt");
    return directory + QDir::separator() + QStringLiteral("bt");
}

void Tfmsavefile::showEvent(QShowEvent* event)
{
    FormShow();
    QWidget::showEvent(event);
}

void Tfmsavefile::FormShow()
{
    m_baseName = QStringLiteral("bt");
    m_firstDestination->setText(defaultDestination());
    m_chooserStart = defaultChooserStart();
    m_path->setText(defaultDestination());
    m_progress->setValue(0);
    m_dbt->setChecked(true);
    m_format = WorkloadExport::Format::Paradox;
    setWindowTitle(QStringLiteral("备份：") + loginState().YearFilter + QStringLiteral("的工作量"));
}

void Tfmsavefile::formatClick()
{
    m_format = m_dbt->isChecked() ? WorkloadExport::Format::Paradox : WorkloadExport::Format::Dbase;
}

void Tfmsavefile::destinationClick()
{
    const bool own = m_directory->isChecked();
    m_path->setEnabled(own);
    m_browse->setEnabled(own);
}

void Tfmsavefile::SpeedButton1Click()
{
    const QString chosen = FileDialog::directory(this, QStringLiteral("选择目录"), m_chooserStart);
    if (chosen.isEmpty())
        return;
    m_chooserStart = chosen;
    m_path->setText(destinationFor(QDir::toNativeSeparators(chosen)));
}

void Tfmsavefile::setProgress(int value)
{
    if (m_progress->value() == value)
        return;
    m_progress->setValue(value);
    m_progress->repaint();
}

void Tfmsavefile::setStatus(const QString& text)
{
    m_status->setText(text);
    m_status->repaint();
}

void Tfmsavefile::ready()
{
    m_animation->hide();
    m_export->setEnabled(true);
    setStatus(QStringLiteral("正在选择目的文件目录..."));
}

Tfmsavefile::Result Tfmsavefile::runExport()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorBack
    {
        ~CursorBack() { QApplication::restoreOverrideCursor(); }
    } cursorBack;

    WorkloadExport exporter(*dmmsdb);
    try {
        if (exporter.selectRows(loginState().YearFilter) == 0)
            return Result::NoRows;
        exporter.fillWorkTable(m_format, [this](int progress, const QString& status) {
            setProgress(progress);
            if (!status.isEmpty())
                setStatus(status);
        });
        setStatus(QStringLiteral("正在复制数据文件到目的地..."));
        const QString destination = m_firstDestination->isChecked() ? m_firstDestination->text() : m_path->text();
        exporter.writeFile(m_format, destination);
    } catch (const StoreError& e) {
        m_storeError = e.text();
        return Result::StoreFailed;
    } catch (const ExchangeFileError&) {
        return Result::CopyFailed;
    }
    return Result::Done;
}

void Tfmsavefile::BitBtn1Click()
{
    m_animation->show();
    m_export->setEnabled(false);
    setStatus(QStringLiteral("正在提取数据库文件..."));
    switch (runExport()) {
    case Result::NoRows:
        MessageBox::error(this, WorkloadExport::NoRows);
        ready();
        return;
    case Result::StoreFailed:
        ErrorDisplay::show(this, m_storeError);
        setProgress(0);
        ready();
        return;
    case Result::CopyFailed:
        MessageBox::error(this, WorkloadExport::CopyFailed);
        setProgress(0);
        ready();
        return;
    case Result::Done:
        break;
    }
    setProgress(100);
    m_animation->hide();
    m_export->setEnabled(true);
    setStatus(QStringLiteral("复制数据文件已经完成"));
    MessageBox::information(this, WorkloadExport::Done);
    close();
}
