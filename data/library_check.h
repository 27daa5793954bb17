#pragma once

// Whether the database library can be used at all: opens an in-memory database and prepares a
// statement through the same SQLite library that the connection uses.
namespace LibraryCheck {

bool databaseLibraryWorks();

}  // namespace LibraryCheck
