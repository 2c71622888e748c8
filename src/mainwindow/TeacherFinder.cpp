#include "mainwindow/TeacherFinder.h"

#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

TeacherFinder::TeacherFinder(QWidget* parent) : QDialog(parent), m_text(new QLineEdit), m_outcome(new QLabel)
{
    setObjectName(QStringLiteral("fmFind"));
    setWindowTitle(QStringLiteral("查找教师"));
    m_text->setObjectName(QStringLiteral("FindText"));
    m_text->setPlaceholderText(QStringLiteral("教师姓名或代码的一部分"));
    m_outcome->setObjectName(QStringLiteral("FindOutcome"));
    auto* next = new QPushButton(QStringLiteral("查找下一个(F3)"));
    next->setObjectName(QStringLiteral("FindNext"));
    next->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("查找教师：")));
    layout->addWidget(m_text);
    layout->addWidget(m_outcome);
    layout->addWidget(next);

    // Enter in the box presses the default button.
    const auto ask = [this] { emit findNext(m_text->text()); };
    connect(next, &QPushButton::clicked, this, ask);
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this, ask);
}

void TeacherFinder::setOutcome(const QString& text)
{
    m_outcome->setText(text);
}
