#include "app/CommandWiring.h"
#include "store/ProgramError.h"

#include <QAction>
#include <QDialog>
#include <QMainWindow>
#include <QTest>

// The main window's commands are wired by name: a name the window does not have stops the start
// with the name, and nothing of that screen's commands is wired.
class TestCommandWiring : public QObject
{
    Q_OBJECT
private slots:
    void missingCommandIsAnError_data()
    {
        QTest::addColumn<bool>("modal");
        QTest::newRow("beside") << false;
        QTest::newRow("modal") << true;
    }
    void missingCommandIsAnError()
    {
        QFETCH(bool, modal);
        QMainWindow window;
        window.setObjectName(QStringLiteral("FORM1"));
        auto* present = new QAction(&window);
        present->setObjectName(QStringLiteral("N5"));
        present->setEnabled(false);
        QDialog screen;
        const CommandWiring commands(window);

        QString text;
        try {
            if (modal)
                commands.openModal(screen, {"N5", "ToolButton4"});
            else
                commands.openBeside(screen, {"N5", "ToolButton4"});
        } catch (const ProgramError& e) {
            QCOMPARE(e.kind(), ProgramError::Kind::Internal);
            text = e.text();
        }
        QVERIFY2(text.contains(QLatin1String("ToolButton4")) && text.contains(QLatin1String("FORM1")),
                 qPrintable(text));
        QVERIFY(!present->isEnabled());
        present->trigger();
        QVERIFY(!screen.isVisible());
    }

    void presentCommandsOpenTheScreen()
    {
        QMainWindow window;
        auto* menuItem = new QAction(&window);
        menuItem->setObjectName(QStringLiteral("N5"));
        menuItem->setEnabled(false);
        auto* button = new QAction(&window);
        button->setObjectName(QStringLiteral("ToolButton4"));
        QDialog screen;
        CommandWiring(window).openBeside(screen, {"N5", "ToolButton4"});
        QVERIFY(menuItem->isEnabled());
        button->trigger();
        QVERIFY(screen.isVisible());
        screen.hide();
        menuItem->trigger();
        QVERIFY(screen.isVisible());
    }
};

QTEST_MAIN(TestCommandWiring)
#include "tst_command_wiring.moc"
