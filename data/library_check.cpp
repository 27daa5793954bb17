#include "library_check.h"

#include <sqlite3.h>

#include "sqlite_engine.h"

namespace LibraryCheck {

bool databaseLibraryWorks() {
    SqliteEngine::configureLibrary();  // the check is the library's first use
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_stmt* statement = nullptr;
    const bool prepared =
        sqlite3_prepare_v2(db, "SELECT 1", -1, &statement, nullptr) == SQLITE_OK &&
        statement != nullptr;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return prepared;
}

}  // namespace LibraryCheck
