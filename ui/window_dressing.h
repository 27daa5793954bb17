#pragma once

#include <QString>

class ErrorTrap;
class QWidget;
class WindowPointer;

// The companion files beside the program, and the first lines of every secondary window's load
// handler: the window colours (line 100), the application icon (102), and the hand pointer
// (104, 106) when its file exists.
namespace WindowDressing {

// Gives the window and its option buttons, check boxes, frames and labels the system
// button-face colour; other controls keep theirs.
void ApplyFormColours(QWidget* window);

QString iconFile(const QString& programFolder);
QString cursorFile(const QString& programFolder);

void dress(ErrorTrap& trap, QWidget* window, WindowPointer& pointer, const QString& programFolder);

}  // namespace WindowDressing
