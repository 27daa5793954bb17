// The SQL functions that the program's statements and the template's triggers rely on.

#include <sqlite3.h>

#include <QLocale>

#include "case_store.h"
#include "date_text.h"

namespace {

// First and Last keep the value of the first and of the last row that the scan meets. The tables
// are scanned in row order, which is insertion order, so these are the oldest and the newest row:
// not the minimum and the maximum.
struct KeptValue {
    sqlite3_value* value;
    int seen;
};

void firstStep(sqlite3_context* context, int, sqlite3_value** arguments) {
    auto* kept = static_cast<KeptValue*>(sqlite3_aggregate_context(context, sizeof(KeptValue)));
    if (kept == nullptr) {
        sqlite3_result_error_nomem(context);
        return;
    }
    if (kept->seen == 0) {
        kept->value = sqlite3_value_dup(arguments[0]);
        kept->seen = 1;
    }
}

void lastStep(sqlite3_context* context, int, sqlite3_value** arguments) {
    auto* kept = static_cast<KeptValue*>(sqlite3_aggregate_context(context, sizeof(KeptValue)));
    if (kept == nullptr) {
        sqlite3_result_error_nomem(context);
        return;
    }
    sqlite3_value_free(kept->value);
    kept->value = sqlite3_value_dup(arguments[0]);
    kept->seen = 1;
}

void keptFinal(sqlite3_context* context) {
    auto* kept = static_cast<KeptValue*>(sqlite3_aggregate_context(context, 0));
    if (kept == nullptr || kept->value == nullptr) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_value(context, kept->value);
    sqlite3_value_free(kept->value);
    kept->value = nullptr;
}

// case_date(value): the storage form of a date text that the program wrote, or NULL for NULL.
// Any other value makes the statement fail, so that no text that is not a date is ever stored in
// a date column.
void caseDate(sqlite3_context* context, int, sqlite3_value** arguments) {
    sqlite3_value* value = arguments[0];
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    const int size = sqlite3_value_bytes(value);
    const std::string_view raw(bytes != nullptr ? bytes : "", static_cast<size_t>(size));
    std::optional<QDateTime> date;
    if (type == SQLITE_TEXT) {
        date = DateText::fromStorage(raw);
        if (!date) {
            date = DateText::parse(QString::fromUtf8(raw.data(), size));
        }
    }
    if (!date) {
        const QByteArray message = "The text '" + QByteArray(raw.data(), size) + "' is not a date.";
        sqlite3_result_error(context, message.constData(), static_cast<int>(message.size()));
        return;
    }
    const QByteArray stored = DateText::toStorage(*date).toUtf8();
    sqlite3_result_text(context, stored.constData(), static_cast<int>(stored.size()),
                        SQLITE_TRANSIENT);
}

}  // namespace

void registerCaseStoreFunctions(sqlite3* db) {
    sqlite3_create_function(db, "First", 1, SQLITE_UTF8, nullptr, nullptr, firstStep, keptFinal);
    sqlite3_create_function(db, "Last", 1, SQLITE_UTF8, nullptr, nullptr, lastStep, keptFinal);
    sqlite3_create_function(db, "case_date", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr, caseDate,
                            nullptr, nullptr);
}
