#pragma once

#include "store/ProgramError.h"

#include <QString>

// The system's GBK converter could not be opened: no file can be read, whatever it holds, so
// this is not a verdict on the file. The text says so, with the system's reason.
class GbkConverterError : public ProgramError
{
public:
    explicit GbkConverterError(const QString& text) : ProgramError(Kind::Internal, text) {}
};
