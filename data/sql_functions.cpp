// What the program adds to its own connection: the SQL functions its statements rely on, and the
// triggers that keep every date column of Cases in ISO 8601 form. None of it is stored in the
// file, so that the file stays usable by any SQLite tool.

#include <sqlite3.h>

#include <QLocale>
#include <string>

#include "account.h"
#include "date_text.h"
#include "failure.h"
#include "sqlite_change_log.h"
#include "sqlite_engine.h"

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

// A date column holds a real date: whatever date text a statement of the program wrote is kept
// in ISO 8601 form, and a text that is not a date makes the statement fail. The triggers are
// TEMP: they live on this connection only, and other programs writing the file store their
// values as they give them (ISO 8601 dates, which the program reads).
#define HELVARINE_DATE_TRIGGER_BODY                                  \
    "BEGIN\n"                                                        \
    "    UPDATE Cases\n"                                             \
    "       SET [Opened Date]   = case_date(NEW.[Opened Date]),\n"   \
    "           [Due Date]      = case_date(NEW.[Due Date]),\n"      \
    "           [Resolved Date] = case_date(NEW.[Resolved Date]),\n" \
    "           [Call Time]     = case_date(NEW.[Call Time])\n"      \
    "     WHERE ID = NEW.ID;\n"                                      \
    "END;\n"
const char* const kDateTriggers =
    "CREATE TEMP TRIGGER [Cases dates on insert] AFTER INSERT ON "
    "main.Cases\n" HELVARINE_DATE_TRIGGER_BODY
    "CREATE TEMP TRIGGER [Cases dates on update]\n"
    "AFTER UPDATE OF [Opened Date], [Due Date], [Resolved Date], [Call Time] ON "
    "main.Cases\n" HELVARINE_DATE_TRIGGER_BODY;
#undef HELVARINE_DATE_TRIGGER_BODY

// Files made from earlier templates carry these two triggers themselves, calling case_date(),
// which only the program registers: every other tool failed to write a case with "no such
// function: case_date".
const char* const kStoredTriggers =
    "SELECT count(*) FROM main.sqlite_master WHERE type = 'trigger' "
    "AND tbl_name = 'Cases' COLLATE NOCASE AND name IN ('Cases dates on insert', 'Cases dates on "
    "update')";
const char* const kDropStoredTriggers =
    "BEGIN IMMEDIATE;"
    "DROP TRIGGER IF EXISTS main.[Cases dates on insert];"
    "DROP TRIGGER IF EXISTS main.[Cases dates on update];"
    "COMMIT;";

// The program's own changes carry the desktop account that made them and one command number
// for all that one command wrote, and a restore's inserts say so (the stored triggers cannot know
// any of it).
const char* const kAuthorshipTrigger =
    "CREATE TEMP TRIGGER [Changes by this desktop] AFTER INSERT ON main.Changes\n"
    "BEGIN\n"
    "    UPDATE Changes SET [Changed By] = helvarine_account(),\n"
    "                       Command = helvarine_command(NEW.Revision),\n"
    "                       Action = CASE WHEN NEW.Action = 'insert' AND helvarine_restoring()\n"
    "                                     THEN 'restore' ELSE NEW.Action END\n"
    "     WHERE Revision = NEW.Revision;\n"
    "END;\n";

void account(sqlite3_context* context, int, sqlite3_value**) {
    const auto* name = static_cast<const QByteArray*>(sqlite3_user_data(context));
    sqlite3_result_text(context, name->constData(), static_cast<int>(name->size()),
                        SQLITE_TRANSIENT);
}

// helvarine_command(revision): the command of the connection's current command, which is the
// revision of its first change.
void commandOf(sqlite3_context* context, int, sqlite3_value** arguments) {
    auto* authorship = static_cast<ChangeAuthorship*>(sqlite3_user_data(context));
    if (authorship->command == 0) {
        authorship->command = sqlite3_value_int64(arguments[0]);
    }
    sqlite3_result_int64(context, authorship->command);
}

// helvarine_restoring(): 1 while the connection's inserts restore deleted rows.
void restoring(sqlite3_context* context, int, sqlite3_value**) {
    const auto* authorship = static_cast<const ChangeAuthorship*>(sqlite3_user_data(context));
    sqlite3_result_int(context, authorship->restoring ? 1 : 0);
}

bool hasRows(sqlite3* db, const char* countSelect) {
    sqlite3_stmt* statement = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(db, countSelect, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        found = sqlite3_column_int(statement, 0) > 0;
    }

    sqlite3_finalize(statement);
    return found;
}

bool hasTable(sqlite3* db, const char* name) {
    const std::string select =
        std::string("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND name = '") +
        name + "' COLLATE NOCASE";
    return hasRows(db, select.c_str());
}

}  // namespace

void installCaseStoreTriggers(sqlite3* db) {
    // A file without a Cases table (a damaged template) still opens; every statement on Cases
    // then reports the missing table itself.
    if (!hasTable(db, "Cases")) {
        return;
    }
    if (hasRows(db, kStoredTriggers) &&
        sqlite3_exec(db, kDropStoredTriggers, nullptr, nullptr, nullptr) != SQLITE_OK) {
        // A file the program may not change keeps the old triggers; with the program's
        // functions registered they do the same as the temporary ones, and converting a date
        // twice gives the same date.
        if (sqlite3_get_autocommit(db) == 0) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    if (sqlite3_exec(db, kDateTriggers, nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw Failure(QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

void installChangeLog(sqlite3* db, ChangeAuthorship* authorship) {
    static const QByteArray name = Account::name().toLocal8Bit();
    sqlite3_create_function(db, "helvarine_account", 0, SQLITE_UTF8, const_cast<QByteArray*>(&name),
                            account, nullptr, nullptr);
    sqlite3_create_function(db, "helvarine_command", 1, SQLITE_UTF8, authorship, commandOf, nullptr,
                            nullptr);
    sqlite3_create_function(db, "helvarine_restoring", 0, SQLITE_UTF8, authorship, restoring,
                            nullptr, nullptr);
    if (!hasTable(db, "Cases")) {
        return;
    }
    // A file of an earlier version gets the change log now, unless the program may not write it
    // (then it can write no case either).
    const std::string current =
        "SELECT user_version >= " + std::to_string(SqliteChangeLog::kSchemaVersion) +
        " FROM pragma_user_version";
    if (!hasRows(db, current.c_str())) {
        if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
            if (SqliteChangeLog::install(db).empty()) {
                sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            }
            if (sqlite3_get_autocommit(db) == 0) {
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            }
        }
    }
    if (hasTable(db, "Changes") &&
        sqlite3_exec(db, kAuthorshipTrigger, nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw Failure(QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

void registerCaseStoreFunctions(sqlite3* db) {
    sqlite3_create_function(db, "First", 1, SQLITE_UTF8, nullptr, nullptr, firstStep, keptFinal);
    sqlite3_create_function(db, "Last", 1, SQLITE_UTF8, nullptr, nullptr, lastStep, keptFinal);
    sqlite3_create_function(db, "case_date", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr, caseDate,
                            nullptr, nullptr);
}
