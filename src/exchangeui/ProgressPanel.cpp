#include "exchangeui/ProgressPanel.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ProgressPanel::ProgressPanel(QWidget* parent)
    : QWidget(parent), m_animation(new QProgressBar), m_status(new QLabel), m_progress(new QProgressBar)
{
    m_animation->setObjectName(QStringLiteral("Animate1"));
    m_status->setObjectName(QStringLiteral("Label2"));
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_animation->setRange(0, 0); // a running busy indicator
    m_animation->setTextVisible(false);
    m_animation->hide();
    m_status->setText(QStringLiteral("正在复制数据文件到目的磁盘..."));
    m_progress->setRange(0, 100);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_animation);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
}

void ProgressPanel::setBusy(bool busy)
{
    m_animation->setVisible(busy);
}

void ProgressPanel::setProgress(int value)
{
    if (m_progress->value() == value)
        return;
    m_progress->setValue(value);
    m_progress->repaint();
}

void ProgressPanel::setStatus(const QString& text)
{
    m_status->setText(text);
    m_status->repaint();
}

void ProgressPanel::report(int progress, const QString& status)
{
    setProgress(progress);
    if (!status.isEmpty())
        setStatus(status);
}
