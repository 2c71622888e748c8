#include "TfmrecoverF.h"

#include "ErrorDisplay.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "StoreError.h"
#include "Tdmmsdb.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TfmrecoverF::TfmrecoverF(QWidget* parent)
    : QWidget(parent, Qt::Window), m_path(named(new QLineEdit, "Edit1")),
      m_browse(named(new QToolButton, "SpeedButton1")), m_animation(named(new QProgressBar, "Animate1")),
      m_status(named(new QLabel, "Label2")), m_progress(named(new QProgressBar, "ProgressBar1")),
      m_import(named(new QPushButton(QStringLiteral("导入")), "BitBtn1")),
      m_return(named(new QPushButton(QStringLiteral("返回")), "BitBtn2"))
{
    setObjectName(QStringLiteral("fmrecover"));
    setWindowTitle(QStringLiteral("导入备份资料"));
    m_browse->setText(QStringLiteral("┅"));
    m_animation->setRange(0, 0);
    m_animation->setTextVisible(false);
    m_animation->hide();
    m_status->setText(QStringLiteral("正在复制数据文件到目的磁盘..."));
    m_progress->setRange(0, 100);
    m_import->setDefault(true);

    auto* source = new QHBoxLayout;
    source->addWidget(named(new QLabel(QStringLiteral("源文件：")), "Label3"));
    source->addWidget(m_path);
    source->addWidget(m_browse);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_import);
    buttons->addWidget(m_return);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(named(new QLabel(QStringLiteral("选择备份文件：")), "Label1"));
    layout->addLayout(source);
    layout->addWidget(m_animation);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addWidget(named(new QLabel(QStringLiteral("注：系统只能导入自身的数据；")), "Label4"));
    layout->addLayout(buttons);

    connect(m_browse, &QToolButton::clicked, this, &TfmrecoverF::SpeedButton1Click);
    connect(m_import, &QPushButton::clicked, this, &TfmrecoverF::BitBtn1Click);
    connect(m_return, &QPushButton::clicked, this, &QWidget::close);
}

void TfmrecoverF::showEvent(QShowEvent* event)
{
    FormShow();
    QWidget::showEvent(event);
}

void TfmrecoverF::FormShow()
{
    m_path->clear();
    m_progress->setValue(0);
}

void TfmrecoverF::SpeedButton1Click()
{
    const QString chosen = FileDialog::openFile(this, QStringLiteral("选择备份文件"), QString(), Filter);
    if (!chosen.isEmpty())
        m_path->setText(QDir::toNativeSeparators(chosen));
}

void TfmrecoverF::setProgress(int value)
{
    if (m_progress->value() == value)
        return;
    m_progress->setValue(value);
    m_progress->repaint();
}

void TfmrecoverF::setStatus(const QString& text)
{
    m_status->setText(text);
    m_status->repaint();
}

void TfmrecoverF::reset()
{
    setProgress(0);
    m_animation->hide();
    setStatus(QStringLiteral("正在选择接收源文件..."));
}

void TfmrecoverF::BitBtn1Click()
{
    WorkloadImport importer(*dmmsdb);
    if (m_clock)
        importer.setClock(m_clock);
    importer.makeCounters();
    const QString path = QDir::fromNativeSeparators(m_path->text());
    if (path.isEmpty()) {
        MessageBox::error(this, WorkloadImport::NoPath);
        return;
    }
    m_animation->show();
    setStatus(QStringLiteral("正在提取数据库文件..."));

    WorkloadImport::Outcome outcome = WorkloadImport::Outcome::Ready;
    QString storeError;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct CursorBack
        {
            ~CursorBack() { QApplication::restoreOverrideCursor(); }
        } cursorBack;
        outcome = importer.copyToWorkCopy(path);
        if (outcome == WorkloadImport::Outcome::Ready) {
            setProgress(5);
            setStatus(QStringLiteral("正在检查数据库文件..."));
            outcome = importer.openWorkCopy();
        }
        if (outcome == WorkloadImport::Outcome::Ready) {
            setProgress(10);
            setStatus(QStringLiteral("正在写入数据库文件..."));
            try {
                m_counts = importer.run([this](int progress, const QString& status) {
                    setProgress(progress);
                    if (!status.isEmpty())
                        setStatus(status);
                });
            } catch (const StoreError& e) {
                storeError = e.text();
            }
        }
    }
    if (outcome != WorkloadImport::Outcome::Ready) {
        MessageBox::error(this, WorkloadImport::message(outcome));
        reset();
        return;
    }
    if (!storeError.isNull()) {
        // Every change of the passes has been rolled back.
        ErrorDisplay::show(this, storeError + QStringLiteral("\n") + WorkloadImport::RolledBack);
        reset();
        return;
    }
    setProgress(100);
    m_animation->hide();
    setStatus(QStringLiteral("接收数据文件已经完成"));
    MessageBox::information(this, WorkloadImport::Done);
    close();
}
