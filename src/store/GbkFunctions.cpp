#include "store/GbkFunctions.h"

#include "store/Gbk.h"

#include <QString>

#include <string_view>

#include <sqlite3.h>

namespace {

void gbkLength(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const long long n = Gbk::length(std::string_view(text ? text : "", sqlite3_value_bytes(argv[0])));
    if (n < 0) {
        const QString message = Gbk::unrepresentableMessage(QString::fromUtf8(text));
        const QByteArray utf8 = message.toUtf8();
        sqlite3_result_error(ctx, utf8.constData(), int(utf8.size()));
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

namespace GbkFunctions {

bool add(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    return sqlite3_create_function_v2(db, "gbk_len", 1, flags, nullptr, gbkLength, nullptr, nullptr, nullptr) ==
               SQLITE_OK &&
           sqlite3_create_collation_v2(db, "gbk", SQLITE_UTF8, nullptr, gbkCollation, nullptr) == SQLITE_OK;
}

} // namespace GbkFunctions
