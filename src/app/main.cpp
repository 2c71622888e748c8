#include "ErrorDisplay.h"
#include "GridBinding.h"
#include "LoginState.h"
#include "MessageBox.h"
#include "Tdmmsdb.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QStatusBar>
#include <QTableView>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("管理系统"));

    Tdmmsdb data;
    const QString dataDir = QDir::currentPath();
    try {
        data.connectTo(dataDir);
    } catch (const StoreError& e) {
        MessageBox::error(nullptr, e.text());
        return 1;
    }
    loginState().DataDir = dataDir;

    QMainWindow window;
    window.setObjectName(QStringLiteral("TFORM1"));
    window.setWindowTitle(QStringLiteral("澜石大学教师工作量统计系统 V2.0"));
    auto* grid = new QTableView(&window);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    window.setCentralWidget(grid);
    data.dbrydm->setColumns({{QStringLiteral("rydm"), QStringLiteral("教师代码")},
                             {QStringLiteral("rymc"), QStringLiteral("教师姓名")},
                             {QStringLiteral("bmmc"), QStringLiteral("教研室")},
                             {QStringLiteral("ybmc"), QStringLiteral("院部")},
                             {QStringLiteral("ryzc"), QStringLiteral("职称")},
                             {QStringLiteral("q"), QStringLiteral("总工作量")}});
    GridBinding::bind(grid, data.dbrydm);
    ErrorDisplay::guard(&window, [&] {
        data.dtrydm->setStatement(
            {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm order by bmdm,rydm")});
        data.dtrydm->open();
    });
    window.statusBar()->showMessage(QStringLiteral("当前记录数:%1").arg(data.dtrydm->recordCount()));
    window.resize(900, 600);
    window.show();
    return app.exec();
}
