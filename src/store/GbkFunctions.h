#pragma once

struct sqlite3;

// The store's GBK width function gbk_len() and collation "gbk", which the tables' checks and
// indexes use: every connection that reads or checks a store registers them.
namespace GbkFunctions {

// False when the store refused to register them.
bool add(sqlite3* db);

} // namespace GbkFunctions
