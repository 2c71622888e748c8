#pragma once

#include "shell/MemoryStatus.h"
#include "shell/RegisteredUser.h"

#include <QDialog>

#include <functional>

class QLabel;

// The About box: product line, version, the machine's memory and the registered user. The memory and
// the user are read each time the box is shown, through providers that tests may replace.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    using MemoryProvider = std::function<MemoryStatus()>;
    using UserProvider = std::function<RegisteredUser()>;

    static const QString AuthorCredit;

    explicit AboutBox(QWidget* parent = nullptr, MemoryProvider memory = &MemoryStatus::current,
                      UserProvider user = &RegisteredUser::current);

    // Which store the program works on (a path, or a server and database without a password).
    void setStoreLocation(const QString& location);

    // 536870912 -> "524,288 KB": whole kilobytes with thousands separators.
    static QString physicalMemoryText(quint64 totalBytes);
    // 63 -> "63 %".
    static QString memoryLoadText(int percent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildTopBand();
    QWidget* buildFacts();
    QWidget* buildButtons();
    QLabel* addLabel(const QString& objectName, const QString& text);
    void refill();

    MemoryProvider m_memory;
    UserProvider m_user;
    QLabel* m_logo = nullptr;
    QLabel* m_physicalMemory = nullptr;
    QLabel* m_memoryLoad = nullptr;
    QLabel* m_userName = nullptr;
    QLabel* m_company = nullptr;
    QLabel* m_credit = nullptr;
    QLabel* m_store = nullptr;
};
