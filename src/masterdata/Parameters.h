#pragma once

#include "masterdata/Outcome.h"

#include <QString>

#include <optional>

class DataModule;

// The calculation coefficients an operator may change, all in `sysparameter`: `k12` of the
// course-type rows (categories 0 and 1), the size value S3 of the practice types (`k11` of
// category 9) and the course internship/design coefficient k31 (`k11` of the category 10 row).
// The lists come through `dtk12` and `dts3`, the k31 read and every update through `xssj2`. The
// calculation picks the new values up the next time it runs.
class Parameters
{
public:
    // What the screen says when a value is refused.
    static inline const QString NotANumberText = QStringLiteral(" 输入的数值错误!请重新输入 ");
    static inline const QString OutOfRangeText = QStringLiteral(" 输入的数值超出限制!请重新输入 ");

    explicit Parameters(DataModule& data) : m_data(data) {}

    // A decimal number: an optional sign, digits and an optional fraction (".5", "2.", "-0.1").
    static std::optional<double> decimal(const QString& text);

    // Each check: Saved when the text passes, else NotANumber or OutOfRange with the screen's words.
    // k12: a decimal from 0 to below 0.2.
    static Outcome checkK12(const QString& text);
    // S3: a decimal without sign, so at least 0. The calculation splices the value into its
    // statements as it stands; anything but a plain number would run there as part of them.
    static Outcome checkS3(const QString& text);
    // k31: a decimal from 0 to 1.
    static Outcome checkK31(const QString& text);

    // Opens `dtk12` and `dts3` with their own statements unless they are open already.
    void openLists();
    // The `k11` of the k31 row; empty when there is none.
    QString readK31();

    // Each writes the text exactly as typed once it passes its check. k12 goes into every
    // course-type row with the description and student group, whatever its category; S3 into
    // the practice type of that description. Both then read their list again and return it to
    // the row it stood on. A value the store refuses is NotANumber as well.
    Outcome setK12(const QString& text, const QString& shuoming, const QString& yan);
    Outcome setS3(const QString& text, const QString& shuoming);
    Outcome setK31(const QString& text);

private:
    static Outcome notANumber();
    static Outcome outOfRange();
    bool execute(const QStringList& lines);

    DataModule& m_data;
};
