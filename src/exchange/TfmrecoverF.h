#pragma once

#include "WorkloadImport.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

// The import screen "导入备份资料": merges the rows of an exchange file into the store.
// Shown without blocking the main window.
class TfmrecoverF : public QWidget
{
    Q_OBJECT
public:
    explicit TfmrecoverF(QWidget* parent = nullptr);

    static inline const QString Filter = QStringLiteral("系统导出文件 (*.dbf *.dbt)");

    // What the last import did (for the tests and the status of a finished run).
    const WorkloadImport::Counts& lastCounts() const { return m_counts; }

    // Tests fix the time the code counters are made from.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void SpeedButton1Click();
    void BitBtn1Click();
    void reset();
    void setProgress(int value);
    void setStatus(const QString& text);

    QLineEdit* m_path;
    QToolButton* m_browse;
    QProgressBar* m_animation;
    QLabel* m_status;
    QProgressBar* m_progress;
    QPushButton* m_import;
    QPushButton* m_return;
    WorkloadImport::Counts m_counts;
    std::function<QDateTime()> m_clock;
};
