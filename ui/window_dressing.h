#pragma once

#include <QString>

class ErrorTrap;
class QApplication;
class QWidget;
class WindowPointer;

// The companion files beside the program, and the first lines of every secondary window's load
// handler: the window colours (line 100), the application icon (102), and the hand pointer
// (104, 106) when its file exists.
namespace WindowDressing {

// Gives the window and its option buttons, check boxes, frames and labels the system
// button-face colour; other controls keep theirs.
void ApplyFormColours(QWidget* window);

// From now on, whichever control has the focus, in any window, carries a clear frame around
// it: the styles' own marks of the focus are faint (a thin tinted line on a button) or missing
// (a list).
void frameTheFocus(QApplication& application);

QString iconFile(const QString& programFolder);
QString cursorFile(const QString& programFolder);

void dress(ErrorTrap& trap, QWidget* window, WindowPointer& pointer, const QString& programFolder);

}  // namespace WindowDressing
