#include "TFORM1.h"

#include "ErrorDisplay.h"
#include "Gbk.h"
#include "LoginState.h"
#include "MessageBox.h"
#include "NodeFilters.h"
#include "SettingsYearBox.h"
#include "Sql.h"
#include "Tdmmsdb.h"
#include "TeacherPanel.h"
#include "WaitCursor.h"
#include "WorkloadTabs.h"

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

TFORM1* FORM1 = nullptr;

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

TFORM1::TFORM1(QWidget* parent)
    : QMainWindow(parent), m_year(new SettingsYearBox), m_tree(new QTreeWidget), m_views(new QStackedWidget),
      m_welcome(buildWelcome()), m_teachers(new TeacherPanel), m_tabs(new WorkloadTabs)
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
            TreeView1Change(current);
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

    connect(m_year, &SettingsYearBox::yearEdited, this, &TFORM1::DBComboBox2Change);
    FORM1 = this;
}

TFORM1::~TFORM1()
{
    if (FORM1 == this)
        FORM1 = nullptr;
}

void TFORM1::buildMenus()
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
    connect(refresh, &QAction::triggered, this, [this] { BuildTree(); });
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

QWidget* TFORM1::buildWelcome()
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

void TFORM1::bindDataSources()
{
    m_year->bind(dmmsdb->Tbsystem, QStringLiteral("Nd"));
    m_teachers->bindDataSources();
    m_tabs->bindDataSources();
}

void TFORM1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFORM1::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

QString TFORM1::year() const
{
    return m_year->currentText();
}

void TFORM1::FormShow()
{
    ErrorDisplay::guard(this, [this] {
        LoginState& state = loginState();
        m_paramItem->setVisible(state.ParamRight);
        Query* q = dmmsdb->xssj2;
        q->setStatement({QStringLiteral("select max(xh) as xh from gzl")});
        q->open();
        state.NextXh = q->fieldByName(QStringLiteral("xh")).asInteger();
        q->close();
        dmmsdb->dtrydm->close();
        NodeFilters::year(year()).applyToLoginState();
        dmmsdb->Tbsystem->activate();
        dmmsdb->Tbsystem->edit();
        q->setStatement({QStringLiteral("select * from niandu")});
        q->open();
        QStringList years;
        for (; !q->eof(); q->next())
            years << q->fieldByName(QStringLiteral("nd")).asString();
        m_building = true;
        m_year->setYears(years);
        m_building = false;
        BuildTree();
    });
}

void TFORM1::BuildTree()
{
    bool tooLarge = false;
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

        Query* faculties = dmmsdb->xssj2;
        faculties->setStatement({QStringLiteral("select * from yuanbu")});
        faculties->open();
        for (; !faculties->eof() && !tooLarge; faculties->next()) {
            if (m_nodes.isFull()) {
                tooLarge = true;
                break;
            }
            const QString mc = faculties->fieldByName(QStringLiteral("mc")).asString();
            auto* faculty = new QTreeWidgetItem(root, {mc});
            m_nodes.add({faculty, 1, mc, {}, {}});

            Query* sections = dmmsdb->dtbmdm2;
            sections->setStatement({QStringLiteral("select * from bmdm where ybmc=") + Sql::quote(mc)});
            sections->open();
            for (; !sections->eof() && !tooLarge; sections->next()) {
                if (m_nodes.isFull()) {
                    tooLarge = true;
                    break;
                }
                const QString code = sections->fieldByName(QStringLiteral("bmdm")).asString();
                const QString name = sections->fieldByName(QStringLiteral("bmmc")).asString();
                auto* section = new QTreeWidgetItem(faculty, {name});
                m_nodes.add({section, 2, code, name, sections->fieldByName(QStringLiteral("ybmc")).asString()});

                Query* teachers = dmmsdb->dtbmdm1;
                teachers->setStatement(
                    {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and bmdm=") + Sql::quote(code)});
                teachers->open();
                for (; !teachers->eof(); teachers->next()) {
                    if (m_nodes.isFull()) {
                        tooLarge = true;
                        break;
                    }
                    const QString teacher = teachers->fieldByName(QStringLiteral("rymc")).asString();
                    m_nodes.add({new QTreeWidgetItem(section, {teacher}), 3,
                                 teachers->fieldByName(QStringLiteral("bmdm")).asString(),
                                 teachers->fieldByName(QStringLiteral("bmmc")).asString(), teacher});
                }
            }
        }
    });
    if (tooLarge)
        MessageBox::error(
            this,
            s("单位的院部、教研室和教师太多，一棵目录树最多容纳%1个节点，只显示了前%1个。").arg(NodeTable::Capacity));
}

void TFORM1::showView(View view)
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

TFORM1::View TFORM1::view() const
{
    if (m_views->currentWidget() == m_teachers)
        return View::TeacherList;
    if (m_views->currentWidget() == m_tabs)
        return View::Workload;
    return View::Welcome;
}

void TFORM1::DBComboBox2Change(const QString&)
{
    if (m_building)
        return;
    BuildTree();
    showView(View::Welcome);
}

void TFORM1::TreeView1Change(QTreeWidgetItem* node)
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

void TFORM1::listTeachers(const QString& condition)
{
    Query* q = dmmsdb->dtrydm;
    q->setStatement(
        {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and %1 order by bmdm,rydm").arg(condition)});
    q->open();
    m_teachers->setCount(q->recordCount());
    showView(View::TeacherList);
}

void TFORM1::selectFaculty(const NodeTable::Entry& e)
{
    TableObject* settings = dmmsdb->Tbsystem;
    NodeFilters::faculty(settings->fieldByName(QStringLiteral("Nd")).asString(), e.code).applyToLoginState();
    settings->edit();
    settings->setFieldText(QStringLiteral("yx"), e.code);
    settings->post();
    listTeachers(QStringLiteral("bmdm.ybmc=") + Sql::quote(settings->fieldByName(QStringLiteral("yx")).asString()));
}

void TFORM1::selectSection(const NodeTable::Entry& e)
{
    TableObject* settings = dmmsdb->Tbsystem;
    NodeFilters::section(settings->fieldByName(QStringLiteral("Nd")).asString(), e.name).applyToLoginState();
    settings->edit();
    settings->setFieldText(QStringLiteral("jys"), e.code);
    settings->setFieldText(QStringLiteral("yx"), e.extra);
    settings->setFieldText(QStringLiteral("jysmc"), e.name);
    settings->post();
    listTeachers(QStringLiteral("bmdm.bmmc=") + Sql::quote(settings->fieldByName(QStringLiteral("jysmc")).asString()));
}

void TFORM1::selectTeacher(const NodeTable::Entry& e)
{
    const QString year = dmmsdb->Tbsystem->fieldByName(QStringLiteral("Nd")).asString();
    NodeFilters::teacher(year, e.extra, e.name).applyToLoginState();
    const LoginState& state = loginState();
    const std::pair<Query*, const char*> views[] = {{dmmsdb->dtllsj, "理论实验"},
                                                    {dmmsdb->dtsxsj, "实习设计"},
                                                    {dmmsdb->dtbysj, "毕业设计"},
                                                    {dmmsdb->dtzdss, "指导硕士"}};
    for (const auto& [holder, category] : views) {
        holder->setStatement({QStringLiteral("select * from gzl where fl=%1 and %2")
                                  .arg(Sql::quote(QString::fromUtf8(category)), state.YearFilter)});
        holder->open();
    }
    // Rows can be added, edited and deleted only for a year text of at least ten GBK bytes.
    m_tabs->setEditingEnabled(Gbk::length(year) >= 10);
    showView(View::Workload);
    m_tabs->enableCalculate();

    Query* teacher = dmmsdb->dtbmdm2;
    teacher->setStatement({QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and") + state.NodeFilter});
    teacher->open();
    m_tabs->showTeacher(teacher->fieldByName(QStringLiteral("Q")).asString(),
                        teacher->fieldByName(QStringLiteral("rymc")).asString());
    teacher->close();
}
