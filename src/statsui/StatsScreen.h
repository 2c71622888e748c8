#pragma once

#include "session/Selection.h"
#include "stats/StatsResult.h"

#include <QWidget>

#include <memory>
#include <optional>

class DataModule;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTableView;
class StatsTableModel;
struct Session;

// "工作量统计": the workload statistics of the node selected in the main window's tree (the
// whole year, a faculty, or a teacher's or a section's section), for a year or every year side
// by side, grouped as the operator chooses, with a threshold and a bin width. Three pages: the
// groups (table and stacked bars of the six figures), the distribution (histogram with the
// threshold marked, and the teachers) and the years (table and a line per group). Clicking a
// bar or a row that stands for a faculty, a section or a teacher asks the main window to select
// it. Exports the tables (Excel, one sheet per view), the chart shown (PNG or SVG) and tables and
// charts on A4 pages (PDF). Shown beside the main window; Esc closes it.
//
// The figures are computed on the user-interface thread under the hourglass: a whole year of
// the benchmarks' 180,000 rows takes well under a second (bench/RESULTS.md).
class StatsScreen : public QWidget
{
    Q_OBJECT
public:
    StatsScreen(DataModule& data, const Session& session, QWidget* parent = nullptr);
    ~StatsScreen() override;

    // The tree's node changed: while the screen is open it shows the new node (a teacher's section
    // for a teacher), and it opens on it next time.
    void followSelection(const Selection::Node& node);
    // Computes and shows the statistics for what the screen's controls say.
    void refresh();

    const StatsResult* result() const { return m_result.get(); }
    const Selection::Node& node() const { return m_node; }

signals:
    // A bar or a row stands for this node: the main window selects it in the tree.
    void nodeRequested(const Selection::Node& node);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildControls();
    QWidget* buildPages();
    QWidget* buildButtons();
    void fillYears();
    // The node the statistics are of, from the tree's node.
    void takeNode(const Selection::Node& selected);
    std::optional<StatsRequest> request();
    void showResult();
    void showNothing(const QString& why);
    void showGroups(const StatsYear& year);
    void showDistribution(const StatsYear& year);
    void showYears();
    void onRowActivated(const QTableView* view, int proxyRow);
    void onBarClicked(int index);
    void exportExcel();
    void exportImage();
    void exportPdf();
    // A file to write from a chooser, with the suffix added when the operator typed none; empty
    // when the operator cancelled.
    QString chooseFile(const QString& caption, const QString& filter, const QString& suffix);

    DataModule& m_data;
    const Session& m_session;
    Selection::Node m_node{Selection::Level::Year, {}, {}, {}};
    std::optional<Selection::Node> m_treeNode; // the tree's node since the screen was made
    std::unique_ptr<StatsResult> m_result;

    QLabel* m_nodeLabel;
    QComboBox* m_year;
    QComboBox* m_grouping;
    QLineEdit* m_threshold;
    QLineEdit* m_binWidth;
    QLabel* m_note;
    QTabWidget* m_pages;
    QTableView* m_groupTable;
    QTableView* m_teacherTable;
    QTableView* m_yearTable;
    QChartView* m_barChart;
    QChartView* m_histogram;
    QChartView* m_yearChart;
    QLabel* m_thresholdCounts;
    StatsTableModel* m_groupModel;
    StatsTableModel* m_teacherModel;
    StatsTableModel* m_yearModel;
    bool m_filling = false;
};
