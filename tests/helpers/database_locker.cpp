// Another program holding the database: opens the file with the SQLite library, takes an
// exclusive lock with BEGIN EXCLUSIVE, prints "locked" and keeps the lock until its standard
// input closes (or it is killed), or for the given number of seconds.
//   database_locker DATABASE [SECONDS]

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: database_locker DATABASE [SECONDS]\n");
        return 2;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "database_locker: %s\n",
                     db != nullptr ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return 1;
    }
    // The test's own connection may be reading for a moment; wait for it rather than fail.
    sqlite3_busy_timeout(db, 10000);
    if (sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "database_locker: BEGIN EXCLUSIVE: %s\n", sqlite3_errmsg(db));
        sqlite3_close(db);
        return 1;
    }
    std::fputs("locked\n", stdout);
    std::fflush(stdout);
    if (argc == 3) {
        sleep(static_cast<unsigned>(std::atoi(argv[2])));
    } else {
        char buffer[256];
        while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
        }
    }
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return 0;
}
