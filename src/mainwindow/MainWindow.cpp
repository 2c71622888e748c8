#include "mainwindow/MainWindow.h"

#include "gui/ErrorDisplay.h"
#include "gui/MessageBox.h"
#include "gui/SettingsYearBox.h"
#include "gui/WaitCursor.h"
#include "mainwindow/TeacherPanel.h"
#include "mainwindow/WorkloadTabs.h"
#include "masterdata/Organisation.h"
#include "rows/WorkloadRows.h"
#include "session/Session.h"
#include "session/YearList.h"
#include "store/DataModule.h"
#include "store/Gbk.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QAction* disabledAction(QObject* parent, const char* name, const char* caption)
{
    auto* a = new QAction(QString::fromUtf8(caption), parent);
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(false);
    return a;
}

} // namespace

MainWindow::MainWindow(DataModule& data, Session& session, WorkloadCalculator& calculator,
                       TheoryEntryDialog& theoryDialog, PracticeEntryDialog& practiceDialog,
                       TeacherDialog& teacherDialog, QWidget* parent)
    : QMainWindow(parent), m_data(data), m_session(session), m_year(new SettingsYearBox), m_tree(new QTreeWidget),
      m_views(new QStackedWidget), m_welcome(buildWelcome()),
      m_teachers(new TeacherPanel(data, session, calculator, teacherDialog)),
      m_tabs(new WorkloadTabs(data, session, calculator, theoryDialog, practiceDialog))
{
    setObjectName(QStringLiteral("FORM1"));
    setWindowTitle(s("澜石大学教师工作量统计系统 V2.0"));
    buildMenus();

    m_tree->setObjectName(QStringLiteral("TreeView1"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setFixedWidth(260);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!m_building && current)
            onNodeSelected(current);
    });

    m_views->setObjectName(QStringLiteral("Views"));
    m_views->addWidget(m_welcome);
    m_views->addWidget(m_teachers);
    m_views->addWidget(m_tabs);
    showView(View::Welcome);

    auto* work = new QWidget;
    auto* layout = new QHBoxLayout(work);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_tree);
    layout->addWidget(m_views, 1);
    setCentralWidget(work);

    auto* module = new QLabel(s("院部工作量计算模块"));
    module->setObjectName(QStringLiteral("StatusPanel0"));
    statusBar()->addWidget(module);

    connect(m_year, &SettingsYearBox::yearEdited, this, &MainWindow::onYearEdited);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    // The menu commands open the screens of the other subsystems; each is enabled when its
    // screen joins the program.
    QMenu* catalog = menuBar()->addMenu(s("目录管理(&D)"));
    catalog->addAction(disabledAction(this, "N2", "院系部管理系统(&M)"));
    catalog->addSeparator();
    catalog->addAction(disabledAction(this, "N3", "教研室管理系统(&S)"));
    QMenu* maintenance = menuBar()->addMenu(s("系统维护(&S)"));
    maintenance->addAction(disabledAction(this, "N5", "备份教师工作量"));
    maintenance->addAction(disabledAction(this, "N6", "恢复教师工作量"));
    maintenance->addSeparator();
    m_paramItem = disabledAction(this, "N8", "系统计算参数管理");
    maintenance->addAction(m_paramItem);
    maintenance->addSeparator();
    maintenance->addAction(disabledAction(this, "N10", "系统用户修改口令"));
    maintenance->addSeparator();
    QAction* about = disabledAction(this, "N12", "关于本系统");
    about->setShortcut(Qt::Key_F1);
    maintenance->addAction(about);
    menuBar()->addAction(disabledAction(this, "N13", "退出(&X)"));

    QToolBar* bar = addToolBar(s("工具栏"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* refresh = new QAction(s("更新"), this);
    refresh->setObjectName(QStringLiteral("ToolButton1"));
    refresh->setToolTip(s("产品入库"));
    connect(refresh, &QAction::triggered, this, [this] { buildTree(); });
    bar->addAction(refresh);
    bar->addAction(disabledAction(this, "ToolButton2", "教研室"));
    bar->addAction(disabledAction(this, "ToolButton3", "查询"));
    m_year->setObjectName(QStringLiteral("DBComboBox2"));
    m_year->setMinimumContentsLength(14);
    bar->addWidget(m_year);
    bar->addAction(disabledAction(this, "ToolButton4", "备份"));
    bar->addAction(disabledAction(this, "ToolButton5", "恢复"));
    bar->addAction(disabledAction(this, "ToolButton6", "密码"));
    bar->addAction(disabledAction(this, "ToolButton7", "帮助"));
    bar->addAction(disabledAction(this, "ToolButton8", "退出"));
}

QWidget* MainWindow::buildWelcome()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("WelcomeView"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    // Blank covers over the teacher panel's count line and button row.
    auto* top = new QWidget;
    top->setObjectName(QStringLiteral("Panel8"));
    top->setFixedHeight(24);
    auto* bottom = new QWidget;
    bottom->setObjectName(QStringLiteral("Panel9"));
    bottom->setFixedHeight(36);

    auto* cover = new QWidget;
    cover->setObjectName(QStringLiteral("Panel7"));
    auto* coverLayout = new QVBoxLayout(cover);
    coverLayout->addStretch(2);
    auto* strip = new QLabel;
    strip->setObjectName(QStringLiteral("Image1"));
    strip->setFixedHeight(48);
    strip->setStyleSheet(QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1f4e8c, "
                                        "stop:0.5 #6fa8dc, stop:1 #1f4e8c);"));
    coverLayout->addWidget(strip);
    auto* caption = new QLabel(s("教学工作量计算系统"));
    caption->setObjectName(QStringLiteral("Label1"));
    caption->setAlignment(Qt::AlignCenter);
    QFont big = caption->font();
    big.setPointSize(32);
    big.setBold(true);
    caption->setFont(big);
    coverLayout->addWidget(caption);
    coverLayout->addStretch(3);

    layout->addWidget(top);
    layout->addWidget(cover, 1);
    layout->addWidget(bottom);
    return page;
}

void MainWindow::bindDataSources()
{
    m_year->bind(m_data.Tbsystem, QStringLiteral("Nd"));
    m_teachers->bindDataSources();
    m_tabs->bindDataSources();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        refresh();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

QString MainWindow::year() const
{
    return m_year->currentText();
}

void MainWindow::refresh()
{
    ErrorDisplay::guard(this, [this] {
        m_paramItem->setVisible(m_session.ParamRight);
        m_session.NextXh = WorkloadRows(m_data, m_session).highestSerial();
        m_data.dtrydm->close();
        m_session.select(Selection::year(year()));
        m_data.Tbsystem->activate();
        m_data.Tbsystem->edit();
        const QStringList years = YearList::read(m_data);
        m_building = true;
        m_year->setYears(years);
        m_building = false;
        buildTree();
    });
}

void MainWindow::buildTree()
{
    bool truncated = false;
    ErrorDisplay::guard(this, [&] {
        WaitCursor wait;
        m_building = true;
        struct Done
        {
            bool& flag;
            ~Done() { flag = false; }
        } done{m_building};
        m_tree->clear();
        m_nodes.clear();
        auto* root = new QTreeWidgetItem(m_tree, {year() + s("工作量")});
        m_nodes.add({root, 0, {}, {}, {}});
        m_tree->expandItem(root);

        const std::vector<Organisation::Node> nodes =
            Organisation(m_data).readTree(NodeTable::Capacity - m_nodes.count(), &truncated);
        QTreeWidgetItem* parents[3] = {root, nullptr, nullptr};
        for (const Organisation::Node& n : nodes) {
            auto* item = new QTreeWidgetItem(parents[n.level - 1], {n.level == 1   ? n.code
                                                                     : n.level == 2 ? n.name
                                                                                    : n.extra});
            if (n.level < 3)
                parents[n.level] = item;
            m_nodes.add({item, n.level, n.code, n.name, n.extra});
        }
    });
    if (truncated)
        MessageBox::error(
            this,
            s("单位的院部、教研室和教师太多，一棵目录树最多容纳%1个节点，只显示了前%1个。").arg(NodeTable::Capacity));
}

void MainWindow::showView(View view)
{
    switch (view) {
    case View::Welcome:
        m_views->setCurrentWidget(m_welcome);
        break;
    case View::TeacherList:
        m_views->setCurrentWidget(m_teachers);
        break;
    case View::Workload:
        m_views->setCurrentWidget(m_tabs);
        break;
    }
}

MainWindow::View MainWindow::view() const
{
    if (m_views->currentWidget() == m_teachers)
        return View::TeacherList;
    if (m_views->currentWidget() == m_tabs)
        return View::Workload;
    return View::Welcome;
}

void MainWindow::onYearEdited(const QString&)
{
    if (m_building)
        return;
    buildTree();
    showView(View::Welcome);
}

void MainWindow::onNodeSelected(QTreeWidgetItem* node)
{
    const NodeTable::Entry* entry = m_nodes.find(node);
    if (!entry)
        return;
    const NodeTable::Entry e = *entry;
    ErrorDisplay::guard(this, [&] {
        switch (e.level) {
        case 0:
            showView(View::Welcome);
            break;
        case 1:
            selectFaculty(e);
            break;
        case 2:
            selectSection(e);
            break;
        case 3:
            selectTeacher(e);
            break;
        }
    });
}

void MainWindow::selectFaculty(const NodeTable::Entry& e)
{
    TableObject* settings = m_data.Tbsystem;
    m_session.select(Selection::faculty(settings->fieldByName(QStringLiteral("Nd")).asString(), e.code));
    settings->edit();
    settings->setFieldText(QStringLiteral("yx"), e.code);
    settings->post();
    m_teachers->setCount(
        Organisation(m_data).listFacultyTeachers(settings->fieldByName(QStringLiteral("yx")).asString()));
    showView(View::TeacherList);
    m_teachers->setEditingEnabled(false);
}

void MainWindow::selectSection(const NodeTable::Entry& e)
{
    TableObject* settings = m_data.Tbsystem;
    m_session.select(Selection::section(settings->fieldByName(QStringLiteral("Nd")).asString(), e.name));
    settings->edit();
    settings->setFieldText(QStringLiteral("jys"), e.code);
    settings->setFieldText(QStringLiteral("yx"), e.extra);
    settings->setFieldText(QStringLiteral("jysmc"), e.name);
    settings->post();
    m_teachers->setCount(
        Organisation(m_data).listSectionTeachers(settings->fieldByName(QStringLiteral("jysmc")).asString()));
    showView(View::TeacherList);
    m_teachers->setEditingEnabled(true);
}

void MainWindow::selectTeacher(const NodeTable::Entry& e)
{
    const QString year = m_data.Tbsystem->fieldByName(QStringLiteral("Nd")).asString();
    m_session.select(Selection::teacher(year, e.extra, e.name));
    WorkloadRows rows(m_data, m_session);
    rows.openViews(m_session.selection);
    // Rows can be added, edited and deleted only for a year text of at least ten GBK bytes.
    m_tabs->setEditingEnabled(Gbk::length(year) >= 10);
    showView(View::Workload);
    m_tabs->enableCalculate();

    QString name;
    const QString total = rows.teacherTotal(m_session.selection, &name);
    m_tabs->showTeacher(total, name);
    m_data.dtbmdm2->close();
}
