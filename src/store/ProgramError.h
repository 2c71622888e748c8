#pragma once

#include <QString>

#include <stdexcept>

// What every error the program throws is: the words the operator is shown, and what kind of
// trouble it is. The kind decides how a screen shows it (a refusal of what was typed in the
// screen's own words, anything else as it is) and what workloadctl exits with.
class ProgramError : public std::runtime_error
{
public:
    enum class Kind
    {
        RefusedInput, // what was typed, given, or kept in a parameter row is refused
        Usage,        // a command line that workloadctl does not take
        Busy,         // another program holds the store's lock beyond the wait
        DiskFull,     // no room left to write
        DamagedFile,  // a file that is not what it should be (a store, an exchange file)
        Io,           // a file that cannot be read or written
        Internal      // what the program itself or its system cannot do
    };

    ProgramError(Kind kind, const QString& text) : std::runtime_error(text.toStdString()), m_text(text), m_kind(kind) {}

    const QString& text() const { return m_text; }
    Kind kind() const { return m_kind; }

    // The state of the machine or the program, not a value that the operator could mend.
    bool isStoreState() const { return m_kind != Kind::RefusedInput && m_kind != Kind::Usage; }
    // workloadctl's exit status: 2 for a command line it does not take, 1 for everything else.
    int exitCode() const { return m_kind == Kind::Usage ? 2 : 1; }

private:
    QString m_text;
    Kind m_kind;
};
