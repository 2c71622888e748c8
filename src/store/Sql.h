#pragma once

#include <QString>

namespace Sql {

// A value that a person typed or a file brought, as a literal of a statement: between single
// quotes, with each quote inside doubled so that it stays one literal ("O'Neil" -> 'O''Neil').
QString quote(const QString& value);

} // namespace Sql
