#include "app/CommandWiring.h"

#include "store/ProgramError.h"

#include <QAction>
#include <QDialog>
#include <QList>

void CommandWiring::openBeside(QWidget& screen, std::initializer_list<const char*> commands) const
{
    connectAll(screen, commands, [&screen] {
        screen.show();
        screen.raise();
        screen.activateWindow();
    });
}

void CommandWiring::openModal(QDialog& screen, std::initializer_list<const char*> commands) const
{
    connectAll(screen, commands, [&screen] { screen.exec(); });
}

void CommandWiring::connectAll(QObject& screen, std::initializer_list<const char*> commands,
                               const std::function<void()>& open) const
{
    QList<QAction*> actions;
    for (const char* name : commands)
        actions.append(command(name));
    for (QAction* action : actions) {
        action->setEnabled(true);
        QObject::connect(action, &QAction::triggered, &screen, open);
    }
}

QAction* CommandWiring::command(const char* name) const
{
    auto* action = m_window.findChild<QAction*>(QString::fromLatin1(name));
    if (!action)
        throw ProgramError(
            ProgramError::Kind::Internal,
            QStringLiteral("程序错误: 窗口 %1 没有命令 %2。").arg(m_window.objectName(), QLatin1String(name)));
    return action;
}
