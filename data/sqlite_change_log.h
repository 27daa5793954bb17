#pragma once

#include <array>
#include <string>

struct sqlite3;

// The change log of a database file: the table [Changes] and the triggers, stored in the file,
// that write every insert, update and delete of the cases, the people and the lookup lists into
// it, in the change's own transaction, whoever makes it. The triggers use SQLite's built-in
// functions only, so that every SQLite tool keeps writing the file. Shared by the build, which
// puts it into the template, and the program, which adds it to a file of an earlier version.
//
// A row of [Changes]: Revision (numbers the changes; a file has one writer at a time, so the
// numbers follow the commit order), [Table Name], Row (the ID, or a lookup row's value), Action
// ("insert", "update", "delete", "restore"), [Changed At] (UTC, "yyyy-MM-dd HH:mm:ss.zzz"),
// [Changed By], Command (the Revision of the first row of the command that wrote it), Before and
// After (JSON objects of the columns: an insert's new row, a delete's old row, an update's
// changed columns only). The stored triggers leave [Changed By] empty and give the rows of one
// statement one command; the program's own connection fills both in exactly.
namespace SqliteChangeLog {

// The schema version of a file with the change log (PRAGMA user_version).
constexpr int kSchemaVersion = 2;

// The logged tables, as both schemas name them, and the events that each has a trigger for.
constexpr std::array<const char*, 7> kLoggedTables{
    "Cases", "Employees", "Customers", "Status", "Categories", "Priorities", "KnowledgeBase"};
constexpr std::array<const char*, 3> kEvents{"insert", "update", "delete"};

// The name of a table's trigger for an event in the file: "Changes of Cases on insert".
std::string triggerName(const std::string& table, const std::string& event);

// Creates the table and the triggers on the tables of the schema, then sets the schema version;
// on a connection already inside a transaction. Gives the library's message, empty on success.
std::string install(sqlite3* db);

}  // namespace SqliteChangeLog
