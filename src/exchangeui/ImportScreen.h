#pragma once

#include "exchange/WorkloadImport.h"
#include "gui/SideScreen.h"

class DataModule;
class ProgressPanel;
class QLineEdit;
class QToolButton;

// The import screen "导入备份资料": merges the rows of an exchange file into the store.
// Shown without blocking the main window; Enter in the path field imports, Esc closes it.
class ImportScreen : public SideScreen
{
    Q_OBJECT
public:
    explicit ImportScreen(DataModule& data, QWidget* parent = nullptr);

    static inline const QString Filter = QStringLiteral("系统导出文件 (*.dbf *.dbt)");

    // What the last import did (for the tests and the status of a finished run).
    const WorkloadImport::Counts& lastCounts() const { return m_counts; }

    // Tests fix the time the code counters are made from.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

private:
    void refill() override;
    void onBrowseClicked();
    void onImportClicked();
    // The import's steps; the outcome of the first that does not end Ready.
    WorkloadImport::Outcome prepare(WorkloadImport& importer, const QString& path);
    void reset();

    QLineEdit* m_path;
    QToolButton* m_browse;
    ProgressPanel* m_panel;
    DataModule& m_data;
    WorkloadImport::Counts m_counts;
    std::function<QDateTime()> m_clock;
};
