#pragma once

#include "TestOrganisation.h"
#include "calc/WorkloadCalculator.h"
#include "entry/PracticeEntryDialog.h"
#include "entry/TheoryEntryDialog.h"
#include "mainwindow/MainWindow.h"
#include "masterdataui/TeacherDialog.h"
#include "session/Session.h"
#include "support/TestStore.h"

#include <QTreeWidget>

#include <functional>
#include <memory>

// The real main window on a fresh store, with the entry dialogs it opens, shown the way a
// successful login shows it: the settings record active and in edit mode, then the window shown.
class MainWindowHarness
{
public:
    explicit MainWindowHarness(const std::function<void(Database&)>& prepare = TestOrganisation::fill,
                               const std::function<void(Session&)>& login = {})
        : m_calculator(m_store.data()), m_theory(m_store.data(), m_session), m_practice(m_store.data(), m_session),
          m_teacherDialog(m_store.data(), QStringLiteral("rydm2"))
    {
        prepare(m_store.db());
        if (login)
            login(m_session);
        m_store.data().Tbsystem->activate();
        m_store.data().Tbsystem->edit();
        m_window = std::make_unique<MainWindow>(m_store.data(), m_session, m_calculator, m_theory, m_practice,
                                                m_teacherDialog);
        m_window->bindDataSources();
        m_window->show();
    }

    TestStore& store() { return m_store; }
    Session& session() { return m_session; }
    TheoryEntryDialog& theoryDialog() { return m_theory; }
    PracticeEntryDialog& practiceDialog() { return m_practice; }
    TeacherDialog& teacherDialog() { return m_teacherDialog; }
    MainWindow& window() { return *m_window; }
    QTreeWidget* tree() { return m_window->findChild<QTreeWidget*>(QStringLiteral("TreeView1")); }

    // The tree node reached by captions below the root ({} is the root).
    QTreeWidgetItem* node(const QStringList& path)
    {
        QTreeWidgetItem* item = tree()->topLevelItem(0);
        for (const QString& caption : path) {
            QTreeWidgetItem* found = nullptr;
            for (int i = 0; item && i < item->childCount() && !found; ++i)
                if (item->child(i)->text(0) == caption)
                    found = item->child(i);
            item = found;
        }
        return item;
    }

    // Selects a node the way a click does.
    void select(const QStringList& path) { tree()->setCurrentItem(node(path)); }

    template <class T> T* find(const char* name) { return m_window->findChild<T*>(QString::fromLatin1(name)); }

private:
    TestStore m_store;
    Session m_session;
    WorkloadCalculator m_calculator;
    TheoryEntryDialog m_theory;
    PracticeEntryDialog m_practice;
    TeacherDialog m_teacherDialog;
    std::unique_ptr<MainWindow> m_window;
};
