#pragma once

#include <QString>
#include <functional>
#include <optional>

class ErrorTrap;
class Prompts;

// The end of every editor's Save, shared by the case editor and the contact editors: the
// statement runs at its numbered line, then the message. A statement the database refuses is
// reported by the trap, and an update that finds no row says that the record is gone; either
// way nothing more happens and the window stays open with everything the user typed.
namespace SaveStep {

// Runs the statement that `statement` gives, at the line; the number of rows it changed, or
// nothing when it failed.
std::optional<int> write(ErrorTrap& trap, int line, const std::function<QString()>& statement);

// After an update: "Record Successfully Updated" at the line when it changed a row; otherwise
// the gone message, at the same line, and false.
bool reportUpdate(ErrorTrap& trap, Prompts& prompts, int line, int changed,
                  const QString& goneMessage);

}  // namespace SaveStep
