#pragma once

#include "gui/MessageBox.h"
#include "session/Selection.h"
#include "session/Session.h"
#include "store/Sql.h"
#include "support/TestStore.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

// The state the main window leaves when a teacher node is selected: a faculty, a section with
// one teacher, the teacher's filters in the login state, the settings record open and the four
// workload views opened on the teacher's rows.
class EntryFixture
{
public:
    static inline const QString Faculty = QStringLiteral("理学院");
    static inline const QString Section = QStringLiteral("数学教研室");
    static inline const QString Teacher = QStringLiteral("张三");

    explicit EntryFixture(const QString& teacher = Teacher)
    {
        MessageBox::setScripted(true);
        MessageBox::clearShown();
        Database& db = store.db();
        db.execute(QStringLiteral("insert into yuanbu (mc) values (%1)").arg(Sql::quote(Faculty)));
        db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('01',%1,%2)")
                       .arg(Sql::quote(Section), Sql::quote(Faculty)));
        db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) values "
                                  "('0001',%1,'01','教授','专职','教学岗')")
                       .arg(Sql::quote(teacher)));
        store.data().Tbsystem->activate();
        store.data().Tbsystem->edit();
        year = store.data().Tbsystem->fieldByName(QStringLiteral("Nd")).asString();
        session.select(Selection::teacher(year, teacher, Section));
        openView(store.data().dtllsj, QStringLiteral("理论实验"));
        openView(store.data().dtsxsj, QStringLiteral("实习设计"));
        openView(store.data().dtbysj, QStringLiteral("毕业设计"));
        openView(store.data().dtzdss, QStringLiteral("指导硕士"));
    }

    void openView(Query* view, const QString& category)
    {
        view->setStatement(
            {QStringLiteral("select * from gzl where fl='%1' and %2").arg(category, session.selection.YearFilter())});
        view->open();
    }

    // Re-opens the views so that they see rows put into the store by a test.
    void reopenViews()
    {
        for (Query* view : {store.data().dtllsj, store.data().dtsxsj, store.data().dtbysj, store.data().dtzdss}) {
            view->close();
            view->open();
        }
    }

    // One value of the row with the given serial, as text.
    QString value(int xh, const QString& column)
    {
        return store.scalar(QStringLiteral("select %1 from gzl where xh=%2").arg(column).arg(xh));
    }

    // Types text the way a person does, one character event at a time (Chinese included).
    static void type(QWidget* input, const QString& text)
    {
        QLineEdit* edit = qobject_cast<QLineEdit*>(input);
        if (auto* combo = qobject_cast<QComboBox*>(input))
            edit = combo->lineEdit();
        QVERIFY(edit);
        edit->clear();
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &release);
        }
        QCOMPARE(edit->text(), text);
    }

    static QStringList shownTexts()
    {
        QStringList out;
        for (const MessageBox::Shown& s : MessageBox::shown())
            out << s.caption + u'|' + s.text;
        return out;
    }

    TestStore store;
    Session session;
    QString year;
};
