#include "sqlite_change_log.h"

#include <sqlite3.h>

#include <array>
#include <vector>

namespace SqliteChangeLog {

namespace {

// The logged tables, each with the column that names a row.
struct LoggedTable {
    const char* name;
    const char* rowColumn;
};
constexpr std::array<const char*, kLoggedTables.size()> kRowColumns{
    "ID", "ID", "ID", "Status", "Category", "Priority", "KB"};

const char* const kTable =
    "CREATE TABLE IF NOT EXISTS Changes (\n"
    "    Revision     INTEGER PRIMARY KEY,\n"
    "    [Table Name] TEXT NOT NULL,\n"
    "    Row          TEXT,\n"
    "    Action       TEXT NOT NULL,\n"
    "    [Changed At] TEXT NOT NULL,\n"
    "    [Changed By] TEXT,\n"
    "    Command      INTEGER,\n"
    "    Before       TEXT,\n"
    "    After        TEXT\n"
    ");\n"
    "CREATE INDEX IF NOT EXISTS [Changes by row] ON Changes ([Table Name], Row);\n"
    // The deletions, which a person may restore, found without reading the whole log.
    "CREATE INDEX IF NOT EXISTS [Deletions] ON Changes (Revision) WHERE Action = 'delete';\n";

// The moment of the change. SQLite gives 'now' one value for the whole statement, so that the
// rows one statement writes share it.
const char* const kNow = "strftime('%Y-%m-%d %H:%M:%f', 'now')";

std::string quotedName(const std::string& name) {
    return "[" + name + "]";
}

std::string literal(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c;
        if (c == '\'') {
            quoted += '\'';
        }
    }
    return quoted + "'";
}

// A column's value as JSON can hold it: a blob as its hexadecimal text.
std::string jsonValue(const std::string& row, const std::string& column) {
    const std::string value = row + "." + quotedName(column);
    return "CASE typeof(" + value + ") WHEN 'blob' THEN hex(" + value + ") ELSE " + value + " END";
}

std::string jsonRow(const std::string& row, const std::vector<std::string>& columns) {
    std::string object = "json_object(";
    for (size_t i = 0; i < columns.size(); ++i) {
        object += (i > 0 ? ", " : "") + literal(columns[i]) + ", " + jsonValue(row, columns[i]);
    }
    return object + ")";
}

// The command of a row another tool writes: the command of the row before it when that was
// written by the same statement, else the row's own revision (the next one the table gives).
std::string command() {
    return std::string(
               "coalesce((SELECT p.Command FROM Changes p WHERE p.Revision = "
               "(SELECT max(Revision) FROM Changes) AND p.[Changed At] = ") +
           kNow + "), (SELECT coalesce(max(Revision), 0) + 1 FROM Changes))";
}

std::string insertChange(const LoggedTable& table, const char* action, const char* row,
                         const std::string& before, const std::string& after) {
    return std::string(
               "INSERT INTO Changes ([Table Name], Row, Action, [Changed At], Command, "
               "Before, After) VALUES (") +
           literal(table.name) + ", " + row + "." + quotedName(table.rowColumn) + ", '" + action +
           "', " + kNow + ", " + command() + ", " + before + ", " + after + ");\n";
}

std::vector<std::string> columnsOf(sqlite3* db, const char* table) {
    std::vector<std::string> columns;
    sqlite3_stmt* statement = nullptr;
    const std::string pragma = std::string("PRAGMA table_info(") + quotedName(table) + ")";
    if (sqlite3_prepare_v2(db, pragma.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            columns.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)));
        }
    }
    sqlite3_finalize(statement);
    return columns;
}

std::string triggersOf(const LoggedTable& table, const std::vector<std::string>& columns) {
    const std::string name = table.name;
    const std::string on = " ON " + quotedName(name) + "\n";
    std::string changed;
    for (const std::string& column : columns) {
        changed += (changed.empty() ? "" : " OR ") + std::string("OLD.") + quotedName(column) +
                   " IS NOT NEW." + quotedName(column);
    }
    // An update keeps only the columns whose value changed: json_remove() takes out the others
    // (a path to no key takes out nothing). One pass over the columns, no JSON read back.
    const auto changedOnly = [&columns](const char* row) {
        std::string kept = "json_remove(" + jsonRow(row, columns);
        for (const std::string& column : columns) {
            kept += ", CASE WHEN OLD." + quotedName(column) + " IS NEW." + quotedName(column) +
                    " THEN '$.\"" + column + "\"' ELSE '$.\"~\"' END";
        }
        return kept + ")";
    };
    const std::string before = changedOnly("OLD");
    const std::string after = changedOnly("NEW");
    const auto trigger = [&](const char* event) {
        return "CREATE TRIGGER IF NOT EXISTS " + quotedName(triggerName(name, event)) + " AFTER " +
               event + on;
    };
    return trigger("insert") + "BEGIN\n" +
           insertChange(table, "insert", "NEW", "NULL", jsonRow("NEW", columns)) + "END;\n" +
           trigger("update") + "WHEN " + changed + "\nBEGIN\n" +
           insertChange(table, "update", "NEW", before, after) + "END;\n" + trigger("delete") +
           "BEGIN\n" + insertChange(table, "delete", "OLD", jsonRow("OLD", columns), "NULL") +
           "END;\n";
}

}  // namespace

std::string triggerName(const std::string& table, const std::string& event) {
    return "Changes of " + table + " on " + event;
}

std::string install(sqlite3* db) {
    std::string sql = kTable;
    for (size_t i = 0; i < kLoggedTables.size(); ++i) {
        const LoggedTable table{kLoggedTables[i], kRowColumns[i]};
        const std::vector<std::string> columns = columnsOf(db, table.name);
        if (columns.empty()) {
            return std::string("no table ") + table.name;
        }
        sql += triggersOf(table, columns);
    }
    sql += "PRAGMA user_version = " + std::to_string(kSchemaVersion) + ";\n";
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string error = message != nullptr ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        return error;
    }
    return {};
}

}  // namespace SqliteChangeLog
