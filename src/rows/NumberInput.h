#pragma once

#include <QString>

// How the entry dialogs read the numbers an operator types.
namespace NumberInput {

// A whole number as the theory/lab amount check takes it ("32"; not "32.5", "3e1" or "").
bool toWholeNumber(const QString& text, int* value);
// A half-width decimal number with an optional sign, fraction and exponent ("2", "-1.5", "1e2").
bool toDecimal(const QString& text, double* value);

// Whether a typed number may be spliced into a statement as it stands: a decimal number as
// above and nothing else, so that a typed expression or statement fragment never runs.
bool isNumberLiteral(const QString& text);

} // namespace NumberInput
