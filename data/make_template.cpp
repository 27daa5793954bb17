// Build-time tool: makes the empty template database from the schema.
//   make_template SCHEMA.sql OUTPUT.mdb
// The output is written to a temporary file beside it and renamed into place, so that an
// interrupted build never leaves a half-made template.

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "sqlite_change_log.h"

namespace {

int failWith(sqlite3* db, const std::string& what) {
    std::fprintf(stderr, "make_template: %s: %s\n", what.c_str(),
                 db != nullptr ? sqlite3_errmsg(db) : "cannot open");
    sqlite3_close(db);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_template SCHEMA.sql OUTPUT.mdb\n");
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        std::fprintf(stderr, "make_template: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream schema;
    schema << input.rdbuf();

    const std::string output = argv[2];
    const std::string temporary = output + ".tmp";
    std::remove(temporary.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(temporary.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        return failWith(db, "cannot create " + temporary);
    }
    if (sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        return failWith(db, std::string("schema ") + argv[1]);
    }
    // The change log and its triggers, made from the tables just created.
    const std::string logged = SqliteChangeLog::install(db);
    if (!logged.empty()) {
        std::fprintf(stderr, "make_template: change log: %s\n", logged.c_str());
        sqlite3_close(db);
        return 1;
    }
    if (sqlite3_exec(db, "VACUUM;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return failWith(db, "finishing");
    }
    if (sqlite3_close(db) != SQLITE_OK) {
        return failWith(nullptr, "closing");
    }
    if (std::rename(temporary.c_str(), output.c_str()) != 0) {
        std::perror("make_template: rename");
        return 1;
    }
    return 0;
}
