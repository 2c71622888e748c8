#include "statsui/StatsScreen.h"

#include "gui/ButtonRow.h"
#include "gui/ErrorDisplay.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "gui/Named.h"
#include "gui/WaitCursor.h"
#include "session/Session.h"
#include "session/YearList.h"
#include "stats/ChartPainter.h"
#include "stats/ChartSvg.h"
#include "stats/StatsCharts.h"
#include "stats/StatsPages.h"
#include "stats/StatsViews.h"
#include "stats/StatsXlsxWriter.h"
#include "stats/WorkloadStats.h"
#include "statsui/StatsChartViews.h"
#include "statsui/StatsTableModel.h"
#include "store/DataModule.h"
#include "store/ProgramError.h"

#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShowEvent>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString AllYears = QStringLiteral("历年对比");

QTableView* sortableTable(StatsTableModel* model, const char* name)
{
    auto* proxy = new QSortFilterProxyModel(model);
    proxy->setSourceModel(model);
    proxy->setSortRole(StatsTableModel::SortRole);
    auto* view = named(new QTableView, name);
    view->setModel(proxy);
    view->setSortingEnabled(true);
    view->sortByColumn(-1, Qt::AscendingOrder); // the statistics' own order until a heading is clicked
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->setDefaultSectionSize(22);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return view;
}

QChartView* chartView(const char* name)
{
    auto* view = named(new QChartView, name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(260);
    return view;
}

// Puts a new chart into a view; the view does not delete the chart it had.
void replaceChart(QChartView* view, QChart* chart)
{
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

QWidget* split(Qt::Orientation orientation, QWidget* first, QWidget* second)
{
    auto* splitter = new QSplitter(orientation);
    splitter->addWidget(first);
    splitter->addWidget(second);
    return splitter;
}

} // namespace

StatsScreen::StatsScreen(DataModule& data, const Session& session, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_data(data), m_session(session), m_groupModel(new StatsTableModel(this)),
      m_teacherModel(new StatsTableModel(this)), m_yearModel(new StatsTableModel(this))
{
    setObjectName(QStringLiteral("fmStats"));
    setWindowTitle(QStringLiteral("工作量统计"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildControls());
    m_note = named(new QLabel, "SourceNote");
    m_note->setWordWrap(true);
    layout->addWidget(m_note);
    layout->addWidget(buildPages(), 1);
    layout->addWidget(buildButtons());
    resize(1100, 720);
}

StatsScreen::~StatsScreen() = default;

QWidget* StatsScreen::buildControls()
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_nodeLabel = named(new QLabel, "NodeLabel");
    m_year = named(new QComboBox, "YearBox");
    m_grouping = named(new QComboBox, "GroupingBox");
    for (StatsGrouping g : StatsGroupings::all())
        m_grouping->addItem(StatsGroupings::caption(g), int(g));
    m_grouping->setCurrentIndex(int(StatsGrouping::Section));
    m_threshold = named(new QLineEdit, "ThresholdEdit");
    m_threshold->setPlaceholderText(QStringLiteral("如 400"));
    m_threshold->setMaximumWidth(90);
    m_binWidth = named(new QLineEdit(QStringLiteral("50")), "BinWidthEdit");
    m_binWidth->setMaximumWidth(70);
    row->addWidget(new QLabel(QStringLiteral("统计范围:")));
    row->addWidget(m_nodeLabel);
    row->addSpacing(12);
    for (auto [caption, widget] : {std::pair<const char*, QWidget*>{"学年:", m_year},
                                   {"分组:", m_grouping},
                                   {"阈值 (低于):", m_threshold},
                                   {"分布每组:", m_binWidth}}) {
        row->addWidget(new QLabel(QString::fromUtf8(caption)));
        row->addWidget(widget);
    }
    row->addStretch(1);
    connect(m_year, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(m_grouping, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(m_threshold, &QLineEdit::editingFinished, this, [this] { refresh(); });
    connect(m_binWidth, &QLineEdit::editingFinished, this, [this] { refresh(); });
    return box;
}

QWidget* StatsScreen::buildPages()
{
    m_pages = named(new QTabWidget, "Pages");
    m_groupTable = sortableTable(m_groupModel, "GroupTable");
    m_teacherTable = sortableTable(m_teacherModel, "TeacherTable");
    m_yearTable = sortableTable(m_yearModel, "YearTable");
    m_barChart = chartView("BarChart");
    m_histogram = chartView("Histogram");
    m_yearChart = chartView("YearChart");
    m_thresholdCounts = named(new QLabel, "ThresholdCounts");
    auto* distribution = new QWidget;
    auto* column = new QVBoxLayout(distribution);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_thresholdCounts);
    column->addWidget(split(Qt::Vertical, m_histogram, m_teacherTable), 1);
    m_pages->addTab(split(Qt::Vertical, m_groupTable, m_barChart), QStringLiteral("分组统计"));
    m_pages->addTab(distribution, QStringLiteral("分布"));
    m_pages->addTab(split(Qt::Vertical, m_yearTable, m_yearChart), QStringLiteral("历年对比"));
    for (QTableView* view : {m_groupTable, m_teacherTable, m_yearTable})
        connect(view, &QTableView::clicked, this,
                [this, view](const QModelIndex& index) { onRowActivated(view, index.row()); });
    return m_pages;
}

QWidget* StatsScreen::buildButtons()
{
    auto* excel = named(new QPushButton(QStringLiteral("导出Excel")), "ExportExcel");
    auto* image = named(new QPushButton(QStringLiteral("导出图片")), "ExportImage");
    auto* pdf = named(new QPushButton(QStringLiteral("导出PDF")), "ExportPdf");
    auto* back = named(new QPushButton(QStringLiteral("返回")), "BitBtn2");
    connect(excel, &QPushButton::clicked, this, &StatsScreen::exportExcel);
    connect(image, &QPushButton::clicked, this, &StatsScreen::exportImage);
    connect(pdf, &QPushButton::clicked, this, &StatsScreen::exportPdf);
    connect(back, &QPushButton::clicked, this, &QWidget::close);
    auto* box = new QWidget;
    box->setLayout(new ButtonRow({excel, image, pdf, back}));
    return box;
}

void StatsScreen::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        fillYears();
        takeNode(m_treeNode.value_or(m_session.selection.node));
        refresh();
    }
    QWidget::showEvent(event);
}

void StatsScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel))
        close();
    else
        QWidget::keyPressEvent(event);
}

void StatsScreen::followSelection(const Selection::Node& node)
{
    m_treeNode = node;
    if (!isVisible())
        return;
    takeNode(node);
    refresh();
}

void StatsScreen::fillYears()
{
    m_filling = true;
    const QString chosen = m_year->currentText();
    m_year->clear();
    QStringList years;
    ErrorDisplay::guard(this, [&] { years = YearList::read(m_data); });
    years.removeAll(QString());
    m_year->addItems(years);
    m_year->addItem(AllYears);
    const QString year = chosen.isEmpty() ? m_session.selection.academicYear : chosen;
    m_year->setCurrentIndex(std::max(0, int(m_year->findText(year))));
    m_filling = false;
}

void StatsScreen::takeNode(const Selection::Node& selected)
{
    // A teacher's statistics are those of the teacher's section.
    switch (selected.level) {
    case Selection::Level::Faculty:
        m_node = {Selection::Level::Faculty, selected.faculty, {}, {}};
        break;
    case Selection::Level::Section:
    case Selection::Level::Teacher:
        m_node = {Selection::Level::Section, {}, selected.section, {}};
        break;
    default:
        m_node = {Selection::Level::Year, {}, {}, {}};
        break;
    }
    const QString name = m_node.level == Selection::Level::Faculty   ? m_node.faculty
                         : m_node.level == Selection::Level::Section ? m_node.section
                                                                     : QStringLiteral("全校");
    m_nodeLabel->setText(name);
    setWindowTitle(QStringLiteral("工作量统计 - ") + name);
}

std::optional<StatsRequest> StatsScreen::request()
{
    StatsRequest r;
    r.allYears = m_year->currentText() == AllYears;
    r.year = r.allYears ? QString() : m_year->currentText();
    r.node = m_node;
    r.grouping = StatsGrouping(m_grouping->currentData().toInt());
    if (!m_threshold->text().trimmed().isEmpty()) {
        r.threshold = StatsRequest::hundredths(m_threshold->text());
        if (!r.threshold) {
            MessageBox::error(this, QStringLiteral("阈值要写成数字，最多两位小数 (如 400 或 399.5)。"));
            return std::nullopt;
        }
    }
    const std::optional<qint64> width = StatsRequest::hundredths(m_binWidth->text());
    if (!width || *width <= 0) {
        MessageBox::error(this, QStringLiteral("分布每组的宽度要写成大于 0 的数字，最多两位小数 (如 50)。"));
        return std::nullopt;
    }
    r.binWidth = *width;
    return r;
}

void StatsScreen::refresh()
{
    if (m_filling || !m_data.isConnected())
        return;
    const std::optional<StatsRequest> r = request();
    if (!r)
        return;
    const WaitCursor wait;
    m_result.reset();
    ErrorDisplay::guard(this, [&] {
        try {
            m_result = std::make_unique<StatsResult>(WorkloadStats(*m_data.database()).compute(*r));
        } catch (const ProgramError& e) {
            if (e.kind() != ProgramError::Kind::RefusedInput)
                throw;
            // A node without teachers, a width giving too many bins: said in place of the figures,
            // without a box at every step through the tree.
            showNothing(e.text());
            return;
        }
        showResult();
    });
}

void StatsScreen::showNothing(const QString& why)
{
    m_note->setText(why);
    for (StatsTableModel* model : {m_groupModel, m_teacherModel, m_yearModel})
        model->fill({}, {}, {});
    m_thresholdCounts->clear();
    for (QChartView* view : {m_barChart, m_histogram, m_yearChart})
        replaceChart(view, new QChart);
}

void StatsScreen::showResult()
{
    QStringList states;
    for (const StatsYear& y : m_result->years)
        states << StatsViews::stateNote(y);
    m_note->setText(StatsViews::sourceNote() + u'\n' + states.join(QStringLiteral("；")));
    const bool allYears = m_result->request.allYears;
    m_pages->setTabEnabled(0, !allYears);
    m_pages->setTabEnabled(1, !allYears);
    m_pages->setTabEnabled(2, allYears);
    if (allYears) {
        showYears();
        m_pages->setCurrentIndex(2);
        return;
    }
    showGroups(m_result->years.front());
    showDistribution(m_result->years.front());
    if (m_pages->currentIndex() == 2)
        m_pages->setCurrentIndex(0);
}

void StatsScreen::showGroups(const StatsYear& year)
{
    std::vector<Selection::Node> nodes;
    for (const StatsGroup& g : year.groups)
        nodes.push_back(g.node);
    m_groupModel->fill(StatsViews::groupTable(*m_result, year), nodes, {1, 2});
    QChart* chart = StatsChartViews::bars(*m_result, year);
    if (auto* series = chart->findChild<QStackedBarSeries*>(QStringLiteral("BarSeries")))
        connect(series, &QStackedBarSeries::clicked, this, [this](int index) { onBarClicked(index); });
    replaceChart(m_barChart, chart);
}

void StatsScreen::showDistribution(const StatsYear& year)
{
    const StatsRequest& r = m_result->request;
    m_thresholdCounts->setText(!r.threshold ? QStringLiteral("未设阈值")
                               : year.hasFigures()
                                   ? QStringLiteral("工作量合计低于 %1 的教师 %2 人，不低于 %1 的 %3 人")
                                         .arg(StatsRequest::amountText(*r.threshold))
                                         .arg(year.below)
                                         .arg(year.atOrAbove)
                                   : QStringLiteral("未计算"));
    std::vector<Selection::Node> nodes;
    for (const StatsTeacher& t : year.teachers)
        nodes.push_back({Selection::Level::Teacher, t.faculty, t.section, t.name});
    m_teacherModel->fill(StatsViews::teacherTable(*m_result, year),
                         year.hasFigures() ? nodes : std::vector<Selection::Node>{}, {7});
    replaceChart(m_histogram, StatsChartViews::histogram(*m_result, year));
}

void StatsScreen::showYears()
{
    m_yearModel->fill(StatsViews::yearTable(*m_result), {}, {3, 4});
    replaceChart(m_yearChart, StatsChartViews::years(*m_result));
}

void StatsScreen::onRowActivated(const QTableView* view, int proxyRow)
{
    const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(view->model());
    const auto* model = qobject_cast<const StatsTableModel*>(proxy->sourceModel());
    const int row = proxy->mapToSource(proxy->index(proxyRow, 0)).row();
    if (const std::optional<Selection::Node> node = model->nodeAt(row))
        emit nodeRequested(*node);
}

void StatsScreen::onBarClicked(int index)
{
    if (!m_result || m_result->request.allYears)
        return;
    const std::vector<StatsGroup>& groups = m_result->years.front().groups;
    if (index >= 0 && std::size_t(index) < groups.size() &&
        groups[std::size_t(index)].node.level != Selection::Level::None)
        emit nodeRequested(groups[std::size_t(index)].node);
}

QString StatsScreen::chooseFile(const QString& caption, const QString& filter, const QString& suffix)
{
    QString name = m_result->title();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    QString path = FileDialog::saveFile(this, caption, QDir(QDir::homePath()).filePath(name + u'.' + suffix), filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffix;
    return path;
}

void StatsScreen::exportExcel()
{
    if (!m_result)
        return;
    const QString path =
        chooseFile(QStringLiteral("导出Excel"), QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral("xlsx"));
    if (path.isEmpty())
        return;
    if (ErrorDisplay::guard(this, [&] { StatsXlsxWriter::write(path, m_result->title(), StatsViews::of(*m_result)); }))
        MessageBox::information(this, QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(path)));
}

void StatsScreen::exportImage()
{
    if (!m_result)
        return;
    const QString path = chooseFile(QStringLiteral("导出图片"), QStringLiteral("PNG 图片 (*.png);;SVG 图片 (*.svg)"),
                                    QStringLiteral("png"));
    if (path.isEmpty())
        return;
    // The chart of the page on show, drawn for the file as the command line draws it.
    const StatsCharts::Kind kind = m_pages->currentIndex() == 1   ? StatsCharts::Kind::Histogram
                                   : m_pages->currentIndex() == 2 ? StatsCharts::Kind::Years
                                                                  : StatsCharts::Kind::Bars;
    const ChartPicture picture = StatsCharts::of(*m_result, kind);
    const bool svg = QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0;
    if (ErrorDisplay::guard(this, [&] {
            if (svg)
                ChartSvg::write(path, picture);
            else
                ChartPainter::writePng(path, picture);
        }))
        MessageBox::information(this, QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(path)));
}

void StatsScreen::exportPdf()
{
    if (!m_result)
        return;
    const QString path =
        chooseFile(QStringLiteral("导出PDF"), QStringLiteral("PDF 文件 (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    if (ErrorDisplay::guard(this, [&] {
            const WaitCursor wait;
            StatsPages::writePdf(path, *m_result);
        }))
        MessageBox::information(this, QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(path)));
}
