#pragma once

#include <QString>
#include <QVariantList>
#include <functional>
#include <optional>

class ErrorTrap;
class Prompts;
class RecordSet;

// The end of every editor's Save, shared by the case editor and the contact editors: the
// statement runs at its numbered line, then the message. A statement the database refuses is
// reported by the trap, and an update that finds no row says that the record is gone; either
// way nothing more happens and the window stays open with everything the user typed.
namespace SaveStep {

// A row as its table stores it: every column's value in the table's order.
using StoredRow = QVariantList;

// The values of the record set's current row, or nothing when it stands at its end.
std::optional<StoredRow> storedRow(const RecordSet& rows);

// Runs the statement that `statement` gives, at the line; the number of rows it changed, or
// nothing when it failed.
std::optional<int> write(ErrorTrap& trap, int line, const std::function<QString()>& statement);

// An update that must not overwrite someone else's change unseen. `rowSelect` reads the table's
// row by ID; `loaded` is that row as the editor read it when it opened (nothing when it read
// none: then nothing is checked). In one transaction the row is read again, locked for the
// write, and the update runs only when the row is as loaded (or gone: the update then finds no
// row and reportUpdate says so). When another user changed it, the transaction ends without a
// write and the question is asked, with No the default; No gives nothing and the window keeps
// what was typed. Yes makes the row shown to the user the one agreed to be overwritten, and the
// check runs again: a change made while the question was open is asked about anew rather than
// overwritten unseen. The check, the question and the write all stand on the update's line.
std::optional<int> writeChecked(ErrorTrap& trap, Prompts& prompts, int line,
                                const QString& rowSelect, std::optional<StoredRow>& loaded,
                                const QString& question, const std::function<QString()>& statement);

// The question before an update overwrites a change of another user; `what` is "case" or
// "record".
QString overwriteQuestion(const char* what);

// After an update: "Record Successfully Updated" at the line when it changed a row; otherwise
// the gone message, at the same line, and false.
bool reportUpdate(ErrorTrap& trap, Prompts& prompts, int line, int changed,
                  const QString& goneMessage);

}  // namespace SaveStep
