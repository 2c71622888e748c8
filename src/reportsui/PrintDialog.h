#pragma once

#include <deque>
#include <functional>

class QPrinter;
class QWidget;

// The platform's print dialog (printer, number of copies, page range) goes through here. Tests
// queue answers instead: each sets the printer up as an operator would (a PDF file as output, a
// page range, copies) and says whether the dialog was confirmed. With scripting on and no answer
// queued the dialog counts as cancelled.
class PrintDialog
{
public:
    using Answer = std::function<bool(QPrinter&)>;

    struct Asked
    {
        int minPage;
        int maxPage;
    };

    // Offers pages 1 to pageCount for printing on `printer`; true when the operator confirmed.
    static bool exec(QWidget* parent, QPrinter& printer, int pageCount);

    static void setScripted(bool scripted);
    static void setNextAnswer(Answer answer);
    static const std::deque<Asked>& asked();

private:
    static std::deque<Answer> s_answers;
    static std::deque<Asked> s_asked;
    static bool s_scripted;
};
