#pragma once

#include "store/ProgramError.h"

#include <QString>

// A file that cannot be read as an exchange table (DamagedFile), or cannot be written (Io). The
// text says why; the screens show their own message instead. A stored value that the file
// cannot carry as it is (RefusedInput) is another matter: the text names the row or the value,
// and that is what the operator sees.
class ExchangeFileError : public ProgramError
{
public:
    explicit ExchangeFileError(const QString& text, Kind kind = Kind::DamagedFile) : ProgramError(kind, text) {}
    static ExchangeFileError refusedValue(const QString& text) { return ExchangeFileError(text, Kind::RefusedInput); }

    bool isValueRefused() const { return kind() == Kind::RefusedInput; }
};
