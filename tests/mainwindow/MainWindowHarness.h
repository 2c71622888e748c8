#pragma once

#include "Organisation.h"
#include "TFORM1.h"
#include "TestStore.h"

#include <QTreeWidget>

#include <functional>
#include <memory>

// The real main window on a fresh store, shown the way a successful login shows it: the
// settings record active and in edit mode, then the window shown.
class MainWindowHarness
{
public:
    explicit MainWindowHarness(const std::function<void(Database&)>& prepare = Organisation::fill)
    {
        prepare(m_store.db());
        m_store.data().Tbsystem->activate();
        m_store.data().Tbsystem->edit();
        m_window = std::make_unique<TFORM1>();
        m_window->bindDataSources();
        m_window->show();
    }

    TestStore& store() { return m_store; }
    TFORM1& window() { return *m_window; }
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
    std::unique_ptr<TFORM1> m_window;
};
