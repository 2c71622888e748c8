#include "reportsui/PrintDialog.h"

#include <QPrintDialog>
#include <QPrinter>

std::deque<PrintDialog::Answer> PrintDialog::s_answers;
std::deque<PrintDialog::Asked> PrintDialog::s_asked;
bool PrintDialog::s_scripted = false;

bool PrintDialog::exec(QWidget* parent, QPrinter& printer, int pageCount)
{
    if (s_scripted) {
        s_asked.push_back({1, pageCount});
        if (s_answers.empty())
            return false;
        const Answer answer = s_answers.front();
        s_answers.pop_front();
        return answer(printer);
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, pageCount);
    return dialog.exec() == QDialog::Accepted;
}

void PrintDialog::setScripted(bool scripted)
{
    s_scripted = scripted;
    s_answers.clear();
    s_asked.clear();
}

void PrintDialog::setNextAnswer(Answer answer)
{
    s_answers.push_back(std::move(answer));
}

const std::deque<PrintDialog::Asked>& PrintDialog::asked()
{
    return s_asked;
}
