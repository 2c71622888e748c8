// The store's GBK width function and collation as an SQLite extension, so that the sqlite3
// shell can run the program's statements against a store (`.load` it before replaying a trace).
#include "store/Gbk.h"

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

namespace {

void gbkLength(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const long long n = Gbk::length(std::string_view(text ? text : "", size_t(sqlite3_value_bytes(argv[0]))));
    if (n < 0) {
        sqlite3_result_error(ctx, "text without a GBK form", -1);
        return;
    }
    sqlite3_result_int64(ctx, n);
}

int gbkCollation(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return Gbk::compareUtf8(std::string_view(static_cast<const char*>(a), size_t(lengthA)),
                            std::string_view(static_cast<const char*>(b), size_t(lengthB)));
}

} // namespace

extern "C" int sqlite3_extension_init(sqlite3* db, char**, const sqlite3_api_routines* api)
{
    SQLITE_EXTENSION_INIT2(api);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    int rc = sqlite3_create_function_v2(db, "gbk_len", 1, flags, nullptr, gbkLength, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation_v2(db, "gbk", SQLITE_UTF8, nullptr, gbkCollation, nullptr);
    return rc;
}
