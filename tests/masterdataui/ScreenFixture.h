#pragma once

#include "gui/MessageBox.h"
#include "gui/RecordCountLabel.h"
#include "masterdata/MasterDataFixture.h"
#include "masterdataui/FacultyDialog.h"
#include "masterdataui/FacultyScreen.h"
#include "masterdataui/SectionDialog.h"
#include "masterdataui/SectionScreen.h"
#include "masterdataui/TeacherDialog.h"
#include "masterdataui/TeacherScreen.h"
#include "support/WhileModal.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

// The three list screens and their dialogs over the organisation of MasterDataFixture, with the
// message boxes scripted.
struct ScreenFixture : MasterDataFixture
{
    DataModule& data = store.data();
    FacultyDialog ybdm1{data};
    FacultyScreen fmybdmF{data, ybdm1};
    TeacherDialog rydm1{data, QStringLiteral("rydm1")};
    TeacherScreen fmrydmF{data, rydm1};
    SectionDialog bmdm1{data};
    SectionScreen fmbmdmF{data, bmdm1, fmrydmF};

    ScreenFixture()
    {
        MessageBox::setScripted(true);
        MessageBox::clearShown();
    }

    ListScreen* screen(const QString& name)
    {
        for (ListScreen* s : std::initializer_list<ListScreen*>{&fmybdmF, &fmbmdmF, &fmrydmF})
            if (s->objectName() == name)
                return s;
        qFatal("no screen %s", qPrintable(name));
    }
    MasterDataDialog* dialogOf(const QString& screenName)
    {
        if (screenName == u"fmybdmF")
            return &ybdm1;
        return screenName == u"fmbmdmF" ? static_cast<MasterDataDialog*>(&bmdm1) : &rydm1;
    }

    // The settings record as the main window leaves it in memory, before a screen is shown.
    void select(const QString& field, const QString& value)
    {
        store.data().Tbsystem->edit();
        store.data().Tbsystem->setFieldText(field, value);
    }
};

namespace ScreenTest {

template <class T> T* child(QWidget* parent, const QString& name)
{
    T* w = parent->findChild<T*>(name);
    if (!w)
        qFatal("no %s in %s", qPrintable(name), qPrintable(parent->objectName()));
    return w;
}

inline void click(QWidget* parent, const QString& button)
{
    child<QPushButton>(parent, button)->click();
}

inline int count(ListScreen* screen)
{
    return screen->countLabel()->count();
}

inline int currentRow(ListScreen* screen)
{
    return screen->grid()->selectionModel()->currentIndex().row();
}

// The texts of a grid's row, column by column.
inline QStringList rowTexts(QTableView* grid, int row)
{
    QStringList texts;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        texts << grid->model()->index(row, c).data().toString();
    return texts;
}

inline QStringList headers(QTableView* grid)
{
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    return titles;
}

// "Edit1=文学院" pairs: each input set to its text.
inline void fill(QWidget* dialog, const QStringList& inputs)
{
    for (const QString& pair : inputs) {
        const QString name = pair.section(u'=', 0, 0);
        const QString value = pair.section(u'=', 1);
        if (auto* combo = dialog->findChild<QComboBox*>(name))
            combo->setEditText(value);
        else
            child<QLineEdit>(dialog, name)->setText(value);
    }
}

inline QString inputText(QWidget* dialog, const QString& name)
{
    if (auto* combo = dialog->findChild<QComboBox*>(name))
        return combo->currentText();
    return child<QLineEdit>(dialog, name)->text();
}

inline QString shown()
{
    QStringList texts;
    for (const MessageBox::Shown& s : MessageBox::shown())
        texts << s.caption + u'|' + s.text;
    return texts.join(u'\n');
}

} // namespace ScreenTest
