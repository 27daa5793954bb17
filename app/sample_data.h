#pragma once

class ErrorTrap;

// The sample records of "Load Sample/Example Data": two employees, two customers and two values
// in each lookup list, each added only while its table holds fewer than two rows, and three
// sample cases, added on every run, linked to the first and last rows of each table.
namespace SampleData {

// Runs every statement under the trap, numbered 100, 102, … in order: a failing statement is
// reported with its own line and the run goes on with the next one.
void load(ErrorTrap& trap);

// The line of the case list's reload that follows the sample inserts.
constexpr int kReloadLine = 360;

}  // namespace SampleData
