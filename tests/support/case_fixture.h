#pragma once

#include <QString>

class CaseEditor;

// The database most case tests start from, and a new case filled in the editor.

// The fixed start of the case editor's INSERT text, up to the values.
extern const QString kInsertStart;

// Two employees (1 John Wilson, 2 Daniel Carter), two customers (1 Hanna Simmons, 2 Neil
// Burgess), two values in each lookup list (Open/Waiting, General/Billing, High/Low, KB1/KB2),
// and case 1 "Printer jams", assigned to Daniel, opened by John, for Hanna.
void seedCaseDatabase();

// Fills every required field of a new case, with these title and comments.
void fillNewCase(CaseEditor& editor, const QString& title = QStringLiteral("O'Brien's printer"),
                 const QString& comments = QStringLiteral("Toner 'HP 12A'\nsecond line"));
