#include "shell/AboutBox.h"

#include "gui/WindowKeeper.h"
#include "shell/ShellPictures.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

const QString AboutBox::AuthorCredit = QStringLiteral("程序设计：澜石大学工作量计算系统开发组");

namespace {

constexpr int BoxWidth = 360;

QFont scaledFont(QFont font, qreal factor, bool bold)
{
    font.setPointSizeF(font.pointSizeF() * factor);
    font.setBold(bold);
    return font;
}

} // namespace

AboutBox::AboutBox(QWidget* parent, MemoryProvider memory, UserProvider user)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_memory(std::move(memory)), m_user(std::move(user))
{
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(QStringLiteral("关于晴舟管理系统"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->setSpacing(0);
    layout->addWidget(buildTopBand());

    auto* picture = addLabel(QStringLiteral("Picture"), QString());
    picture->setPixmap(ShellPictures::banner(QSize(BoxWidth, 72)));
    layout->addWidget(picture);

    layout->addWidget(buildFacts());
    layout->addWidget(buildButtons());
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLabel* AboutBox::addLabel(const QString& objectName, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(objectName);
    return label;
}

QWidget* AboutBox::buildTopBand()
{
    auto* band = new QFrame(this);
    band->setObjectName(QStringLiteral("TopBand"));
    band->setStyleSheet(QStringLiteral("#TopBand { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
                                       "stop:0 #12488f, stop:1 #3b7dd8); } QLabel { color: white; }"));
    m_logo = addLabel(QStringLiteral("ProgramIcon"), QString());
    m_logo->setPixmap(ShellPictures::logo(48));
    m_logo->installEventFilter(this);

    auto* series = addLabel(QStringLiteral("SeriesName"), QStringLiteral("晴舟系列管理软件"));
    series->setFont(scaledFont(series->font(), 1.5, true));

    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(14, 10, 14, 10);
    row->setSpacing(14);
    row->addWidget(m_logo);
    row->addWidget(series, 1);
    return band;
}

QWidget* AboutBox::buildFacts()
{
    auto* facts = new QWidget(this);
    auto* grid = new QGridLayout(facts);
    grid->setContentsMargins(20, 12, 20, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);

    auto* product = addLabel(QStringLiteral("ProductName"), QStringLiteral("澜石大学工作量计算系统"));
    product->setFont(scaledFont(product->font(), 1.25, true));
    grid->addWidget(product, 0, 0, 1, 2);
    grid->addWidget(addLabel(QStringLiteral("Version"), QStringLiteral("版本号1.0")), 1, 0, 1, 2);

    auto* line = new QFrame(facts);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, 2, 0, 1, 2);

    grid->addWidget(addLabel(QStringLiteral("PhysMemLabel"), QStringLiteral("Windows 的可用物理内存：")), 3, 0);
    m_physicalMemory = addLabel(QStringLiteral("PhysMem"), QString());
    grid->addWidget(m_physicalMemory, 3, 1);
    grid->addWidget(addLabel(QStringLiteral("MemLoadLabel"), QStringLiteral("使用中的内存：")), 4, 0);
    m_memoryLoad = addLabel(QStringLiteral("MemLoad"), QString());
    grid->addWidget(m_memoryLoad, 4, 1);

    grid->addWidget(addLabel(QStringLiteral("RegLabel"), QStringLiteral("本产品使用权属于:")), 5, 0, 1, 2);
    m_userName = addLabel(QStringLiteral("RegName"), QString());
    m_company = addLabel(QStringLiteral("RegCompany"), QString());
    grid->addWidget(m_userName, 6, 0, 1, 2);
    grid->addWidget(m_company, 7, 0, 1, 2);
    for (QLabel* owner : {m_userName, m_company})
        owner->setContentsMargins(24, 0, 0, 0);

    grid->addWidget(addLabel(QStringLiteral("StoreLabel"), QStringLiteral("数据库:")), 8, 0);
    m_store = addLabel(QStringLiteral("StoreLocation"), QString());
    m_store->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(m_store, 8, 1);

    m_credit = addLabel(QStringLiteral("Credit"), QString());
    // Keeps its height while empty, so the box does not jump when the credit appears.
    m_credit->setMinimumHeight(m_credit->fontMetrics().height());
    m_credit->setStyleSheet(QStringLiteral("color: #12488f;"));
    grid->addWidget(m_credit, 8, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return facts;
}

QWidget* AboutBox::buildButtons()
{
    auto* buttons = new QWidget(this);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(20, 6, 20, 0);
    auto* ok = new QPushButton(QStringLiteral("确定"), buttons);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    // Esc rejects the dialog, which closes it just as "确定" does.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    row->addStretch(1);
    row->addWidget(ok);
    row->addStretch(1);
    return buttons;
}

QString AboutBox::physicalMemoryText(quint64 totalBytes)
{
    QLocale grouped(QLocale::English, QLocale::UnitedStates);
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    return grouped.toString(totalBytes / 1024) + QStringLiteral(" KB");
}

QString AboutBox::memoryLoadText(int percent)
{
    return QString::asprintf("%d %%", percent);
}

void AboutBox::setStoreLocation(const QString& location)
{
    m_store->setText(location);
}

void AboutBox::refill()
{
    const MemoryStatus memory = m_memory ? m_memory() : MemoryStatus{};
    m_physicalMemory->setText(physicalMemoryText(memory.totalPhysicalBytes));
    m_memoryLoad->setText(memoryLoadText(memory.memoryLoadPercent));
    const RegisteredUser user = m_user ? m_user() : RegisteredUser{};
    m_userName->setText(user.name);
    m_company->setText(user.company);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_logo && event->type() == QEvent::MouseButtonDblClick)
        m_credit->setText(AuthorCredit);
    return QDialog::eventFilter(watched, event);
}

void AboutBox::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        refill();
        adjustSize();
        // Its size follows what it shows: placed again now that it is known.
        WindowKeeper::place(this);
    }
    QDialog::showEvent(event);
}

void AboutBox::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())
        m_credit->clear();
    QDialog::hideEvent(event);
}
