#include "app/MigrationRun.h"

#include "gui/ErrorDisplay.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "migrate/Migration.h"
#include "store/Database.h"
#include "store/StoreSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QProgressDialog>

namespace {

// One bar, refilled for each table as it is checked and then written.
void showProgress(QProgressDialog& dialog, const QString& table, qint64 done, qint64 total, bool writing)
{
    dialog.setLabelText((writing ? QStringLiteral("正在写入 %1 …") : QStringLiteral("正在检查 %1 …")).arg(table));
    if (total >= 0)
        dialog.setMaximum(int(std::max<qint64>(total, 1)));
    dialog.setValue(int(std::min<qint64>(done, dialog.maximum())));
    QCoreApplication::processEvents();
}

QString resultText(const QString& oldDir, const MigrationReport& report)
{
    QStringList lines{QStringLiteral("已经把原系统的数据目录 %1 迁移到本系统：").arg(QDir::toNativeSeparators(oldDir))};
    lines << report.tableLines() << report.changes << report.notes;
    return lines.join(u'\n');
}

} // namespace

bool MigrationRun::run(QWidget* parent)
{
    const QString oldDir = FileDialog::directory(parent, QStringLiteral("选择原系统的数据目录"), QDir::homePath());
    return !oldDir.isEmpty() && migrate(parent, oldDir, false);
}

bool MigrationRun::migrate(QWidget* parent, const QString& oldDir, bool repair)
{
    try {
        Migration migration(oldDir, repair);
        QProgressDialog progress(parent);
        progress.setObjectName(QStringLiteral("migrateProgress"));
        progress.setWindowTitle(QStringLiteral("迁移原系统数据"));
        progress.setCancelButton(nullptr);
        progress.setMinimumDuration(0);
        migration.setProgress([&](const QString& table, qint64 done, qint64 total, bool writing) {
            showProgress(progress, table, done, total, writing);
        });
        const MigrationReport& report = migration.check();
        if (report.refused()) {
            const QString text =
                QStringLiteral("原系统的表中有冲突，没有迁移：\n") + report.conflictLines().join(u'\n');
            if (repair) {
                MessageBox::error(parent, text);
                return false;
            }
            return MessageBox::question(parent,
                                        text + QStringLiteral("\n\n要按规则修复这些冲突再迁移吗？（合并重复的院部、"
                                                              "教研室和教师，给重复的代码和序号换新的；"
                                                              "超宽的文字不会被截断）")) &&
                   migrate(parent, oldDir, true);
        }
        StoreSetup::createStore(
            m_dataDir, false,
            [&](const QString& building) {
                auto db = Database::open(building);
                migration.write(*db);
            },
            false);
        progress.close();
        MessageBox::information(parent, resultText(oldDir, report));
        return true;
    } catch (const ProgramError& e) {
        ErrorDisplay::show(parent, e.text());
        return false;
    }
}
