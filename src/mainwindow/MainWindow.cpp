#include "mainwindow/MainWindow.h"

#include "gui/ErrorDisplay.h"
#include "gui/MessageBox.h"
#include "gui/SettingsYearBox.h"
#include "gui/UserSettings.h"
#include "gui/WaitCursor.h"
#include "mainwindow/TeacherFinder.h"
#include "mainwindow/TeacherPanel.h"
#include "mainwindow/TreePlace.h"
#include "mainwindow/TreePopup.h"
#include "mainwindow/WorkloadTabs.h"
#include "masterdata/Organisation.h"
#include "masterdata/SettingsRecord.h"
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
#include <QScopedValueRollback>
#include <QSettings>
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

// A command that opens another screen: enabled once the application has wired that screen to it.
QAction* screenAction(QObject* parent, const char* name, const char* caption)
{
    auto* a = new QAction(QString::fromUtf8(caption), parent);
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(false);
    return a;
}

QAction* toolButton(QObject* parent, const char* name, const char* caption, const char* tooltip)
{
    auto* a = screenAction(parent, name, caption);
    a->setToolTip(QString::fromUtf8(tooltip));
    return a;
}

constexpr int TreeWidth = 260;

} // namespace

MainWindow::MainWindow(DataModule& data, Session& session, WorkloadCalculator& calculator,
                       TheoryEntryDialog& theoryDialog, PracticeEntryDialog& practiceDialog,
                       RecordDialog& teacherDialog, QWidget* parent)
    : QMainWindow(parent), m_data(data), m_session(session), m_year(new SettingsYearBox), m_tree(new QTreeWidget),
      m_splitter(new QSplitter), m_views(new QStackedWidget), m_welcome(buildWelcome()),
      m_teachers(new TeacherPanel(data, session, calculator, teacherDialog)),
      m_tabs(new WorkloadTabs(data, session, calculator, theoryDialog, practiceDialog)), m_popup(new TreePopup(this)),
      m_finder(new TeacherFinder(this))
{
    setObjectName(QStringLiteral("FORM1"));
    setWindowTitle(s("澜石大学教师工作量统计系统 V2.0"));
    buildMenus();

    m_tree->setObjectName(QStringLiteral("TreeView1"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { preparePopup()->exec(m_tree->viewport()->mapToGlobal(at)); });
    connect(m_popup->editAction(), &QAction::triggered, this, &MainWindow::onPopupEdit);
    connect(m_finder, &TeacherFinder::findNext, this, &MainWindow::findTeacher);
    connect(m_teachers, &TeacherPanel::printRequested, this, &MainWindow::printRequested);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!m_building && current)
            onNodeSelected(current);
    });
    // After a year change the node stays selected while the right side shows the cover: a click
    // on it (or Enter) shows it for the new year.
    connect(m_tree, &QTreeWidget::itemClicked, this, &MainWindow::showCurrentAgain);
    connect(m_tree, &QTreeWidget::itemActivated, this, &MainWindow::showCurrentAgain);

    m_views->setObjectName(QStringLiteral("Views"));
    m_views->addWidget(m_welcome);
    m_views->addWidget(m_teachers);
    m_views->addWidget(m_tabs);
    showView(View::Welcome);

    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_views);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);

    auto* module = new QLabel(s("院部工作量计算模块"));
    module->setObjectName(QStringLiteral("StatusPanel0"));
    statusBar()->addWidget(module);
    m_storeLocation = new QLabel(this);
    m_storeLocation->setObjectName(QStringLiteral("StoreLocation"));
    statusBar()->addPermanentWidget(m_storeLocation);

    connect(m_year, &SettingsYearBox::yearEdited, this, &MainWindow::onYearEdited);
    restoreLayout();
}

MainWindow::~MainWindow() = default;

void MainWindow::setStoreLocation(const QString& location)
{
    m_storeLocation->setText(s("数据库: ") + location);
}

void MainWindow::buildMenus()
{
    QMenu* catalog = menuBar()->addMenu(s("目录管理(&D)"));
    catalog->addAction(screenAction(this, "N2", "院系部管理系统(&M)"));
    catalog->addSeparator();
    catalog->addAction(screenAction(this, "N3", "教研室管理系统(&S)"));
    QMenu* statistics = menuBar()->addMenu(s("统计(&T)"));
    statistics->addAction(screenAction(this, "N14", "工作量统计(&T)"));
    QMenu* maintenance = menuBar()->addMenu(s("系统维护(&S)"));
    maintenance->addAction(screenAction(this, "N5", "备份教师工作量"));
    maintenance->addAction(screenAction(this, "N6", "恢复教师工作量"));
    maintenance->addSeparator();
    m_paramItem = screenAction(this, "N8", "系统计算参数管理");
    maintenance->addAction(m_paramItem);
    maintenance->addSeparator();
    maintenance->addAction(screenAction(this, "N10", "系统用户修改口令"));
    maintenance->addSeparator();
    QAction* about = screenAction(this, "N12", "关于本系统");
    about->setShortcut(Qt::Key_F1);
    about->setShortcutContext(Qt::ApplicationShortcut);
    maintenance->addAction(about);
    QAction* quit = menuBar()->addAction(s("退出(&X)"));
    quit->setObjectName(QStringLiteral("N13"));
    connect(quit, &QAction::triggered, this, &MainWindow::onExitRequested);
    buildToolBar();

    // The popup's "备份" and "恢复" are the menu items' commands.
    connect(m_popup->backupAction(), &QAction::triggered, findChild<QAction*>(QStringLiteral("N5")), &QAction::trigger);
    connect(m_popup->restoreAction(), &QAction::triggered, findChild<QAction*>(QStringLiteral("N6")),
            &QAction::trigger);
}

void MainWindow::buildToolBar()
{
    QToolBar* bar = addToolBar(s("工具栏"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* refresh = toolButton(this, "ToolButton1", "更新", "产品入库");
    refresh->setEnabled(true);
    connect(refresh, &QAction::triggered, this, [this] { buildTree(); });
    bar->addAction(refresh);
    bar->addAction(toolButton(this, "ToolButton2", "教研室", "产品查询"));
    QAction* find = toolButton(this, "ToolButton3", "查询", "产品查询");
    find->setEnabled(true);
    connect(find, &QAction::triggered, this, [this] {
        m_finder->show();
        m_finder->raise();
        m_finder->activateWindow();
    });
    bar->addAction(find);
    m_year->setObjectName(QStringLiteral("DBComboBox2"));
    m_year->setMinimumContentsLength(14);
    bar->addWidget(m_year);
    bar->addAction(toolButton(this, "ToolButton4", "备份", "设置桌面"));
    bar->addAction(toolButton(this, "ToolButton5", "恢复", "设置桌面"));
    bar->addAction(toolButton(this, "ToolButton6", "密码", "修改口令"));
    bar->addAction(toolButton(this, "ToolButton9", "统计", "工作量统计"));
    bar->addAction(toolButton(this, "ToolButton7", "帮助", "帮助 F1"));
    QAction* quit = toolButton(this, "ToolButton8", "退出", "退出");
    quit->setEnabled(true);
    connect(quit, &QAction::triggered, this, &MainWindow::onExitRequested);
    bar->addAction(quit);
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
    // The first width only: afterwards the operator moves the divider freely.
    if (m_tree->minimumWidth() == TreeWidth) {
        m_splitter->setSizes({TreeWidth, qMax(0, m_splitter->width() - TreeWidth)});
        m_tree->setMinimumWidth(0);
    }
    if (!event->spontaneous()) {
        refresh();
        // The operator starts in the tree; a stray key in the year box would rebuild it for a
        // year that does not exist.
        m_tree->setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The close box closes without asking.
    QMainWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    saveLayout();
    emit closed();
}

void MainWindow::restoreLayout()
{
    // The window's size, place and divider, kept for the operator between runs.
    const std::unique_ptr<QSettings> settings = UserSettings::open();
    restoreGeometry(settings->value(QStringLiteral("MainWindow/geometry")).toByteArray());
    if (!m_splitter->restoreState(settings->value(QStringLiteral("MainWindow/splitter")).toByteArray()))
        m_tree->setMinimumWidth(TreeWidth); // the first time: the tree as wide as the old program's
}

void MainWindow::saveLayout() const
{
    const std::unique_ptr<QSettings> settings = UserSettings::open();
    settings->setValue(QStringLiteral("MainWindow/geometry"), saveGeometry());
    settings->setValue(QStringLiteral("MainWindow/splitter"), m_splitter->saveState());
}

void MainWindow::onExitRequested()
{
    if (MessageBox::question(this, s("你确定要退出该系统吗？"), s("退出")))
        close();
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
        const QScopedValueRollback building(m_building, true);
        const TreePlace place = TreePlace::note(*m_tree, m_nodes);
        m_tree->clear();
        m_nodes.clear();
        auto* root = new QTreeWidgetItem(m_tree, {year() + s("工作量")});
        m_nodes.add({root, 0, {}, {}, {}, {}});
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
            m_nodes.add({item, n.level, n.code, n.name, n.extra, n.teacherCode});
        }
        // The operator keeps the place: the same branches open, the same node selected.
        place.restore(*m_tree, m_nodes);
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
    m_currentShown = false;
}

void MainWindow::showCurrentAgain(QTreeWidgetItem* node)
{
    if (!m_building && !m_currentShown && node && node == m_tree->currentItem())
        onNodeSelected(node);
}

void MainWindow::onNodeSelected(QTreeWidgetItem* node)
{
    const NodeTable::Entry* entry = m_nodes.find(node);
    if (!entry)
        return;
    const NodeTable::Entry e = *entry;
    m_currentShown = true;
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
        emit nodeSelected(e.level == 0 ? Selection::Node{Selection::Level::Year, {}, {}, {}}
                                       : m_session.selection.node);
    });
}

void MainWindow::applyFaculty(const NodeTable::Entry& e)
{
    SettingsRecord settings(*m_data.Tbsystem);
    m_session.select(Selection::faculty(settings.year(), e.code));
    settings.chooseFaculty(e.code);
}

void MainWindow::applySection(const NodeTable::Entry& e)
{
    SettingsRecord settings(*m_data.Tbsystem);
    m_session.select(Selection::section(settings.year(), e.name));
    settings.chooseSection(e.code, e.extra, e.name);
}

void MainWindow::applyTeacher(const NodeTable::Entry& e)
{
    m_session.select(Selection::teacher(SettingsRecord(*m_data.Tbsystem).year(), e.extra, e.name));
}

void MainWindow::selectFaculty(const NodeTable::Entry& e)
{
    applyFaculty(e);
    m_teachers->setCount(Organisation(m_data).listFacultyTeachers(SettingsRecord(*m_data.Tbsystem).faculty()));
    showView(View::TeacherList);
    m_teachers->setEditingEnabled(false);
}

void MainWindow::selectSection(const NodeTable::Entry& e)
{
    applySection(e);
    m_teachers->setCount(Organisation(m_data).listSectionTeachers(SettingsRecord(*m_data.Tbsystem).sectionName()));
    showView(View::TeacherList);
    m_teachers->setEditingEnabled(true);
}

void MainWindow::selectTeacher(const NodeTable::Entry& e)
{
    applyTeacher(e);
    const QString year = SettingsRecord(*m_data.Tbsystem).year();
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

TreePopup* MainWindow::preparePopup()
{
    // The popup acts on the selected node; a right click does not change the selection.
    const NodeTable::Entry* entry = m_nodes.find(m_tree->currentItem());
    if (!entry)
        return m_popup;
    const NodeTable::Entry e = *entry;
    ErrorDisplay::guard(this, [&] {
        switch (e.level) {
        case 1:
            applyFaculty(e);
            break;
        case 2:
            applySection(e);
            break;
        case 3:
            applyTeacher(e);
            break;
        default:
            break;
        }
        m_popup->openedAt(e.level);
    });
    return m_popup;
}

void MainWindow::onPopupEdit()
{
    switch (m_popup->PopupLevel()) {
    case 2:
        emit sectionScreenRequested();
        break;
    case 1:
        emit facultyScreenRequested();
        break;
    default:
        return;
    }
    if (MessageBox::confirm(this, s("是否更新目录吗？")))
        buildTree();
}

void MainWindow::findTeacher(const QString& text)
{
    const NodeTable::Entry* found = m_nodes.findTeacher(text, m_tree->currentItem());
    if (!found) {
        m_finder->setOutcome(s("没有找到“%1”").arg(text.trimmed()));
        return;
    }
    m_finder->setOutcome(s("%1 — %2").arg(found->extra, found->name));
    goTo(found->node);
}

bool MainWindow::showNode(const Selection::Node& node)
{
    const int level = node.level == Selection::Level::Faculty   ? 1
                      : node.level == Selection::Level::Section ? 2
                      : node.level == Selection::Level::Teacher ? 3
                                                                : 0;
    const NodeTable::Entry* found = m_nodes.findNode(level, node.faculty, node.section, node.teacher);
    if (!found)
        return false;
    if (found->node == m_tree->currentItem())
        onNodeSelected(found->node);
    else
        goTo(found->node);
    return true;
}

void MainWindow::goTo(QTreeWidgetItem* node)
{
    for (QTreeWidgetItem* up = node->parent(); up; up = up->parent())
        m_tree->expandItem(up);
    m_tree->setCurrentItem(node);
    m_tree->scrollToItem(node);
}
