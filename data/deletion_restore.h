#pragma once

#include <QString>

#include "change_history.h"

class CaseStore;

// Brings a deletion back: every row it deleted returns with its ID and its values, in one
// transaction, logged as restored. A restore never overwrites: when an ID is taken again it
// restores nothing and says what is in the way. A lookup value that was added again meanwhile is
// not added twice; its cases come back onto it.
class DeletionRestore {
public:
    DeletionRestore(CaseStore& store, Deletion deletion);

    const Deletion& deletion() const { return m_deletion; }
    // The question to ask first: "Restore the employee Daniel Carter and 2 cases?"
    QString question() const;
    // What keeps the deletion from coming back, or the empty text.
    QString obstacle() const;
    // Restores and gives the empty text, or gives what is in the way and writes nothing. A
    // failure of the database throws a Failure.
    QString run();

private:
    bool exists(const LoggedRow& row) const;
    QString holderOf(const LoggedRow& row) const;
    // Whether the row's newest change since its deletion brought it back.
    bool restoredSince(const LoggedRow& row) const;
    void insert(const LoggedRow& row);

    CaseStore& m_store;
    Deletion m_deletion;
};
