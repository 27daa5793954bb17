#pragma once

class QWidget;

// What a screen reader is told about a window beyond the names of its fields.
namespace ScreenReader {

// Names the parts inside the window's controls after the control that holds them: the entry
// list and the text field of each drop-down list, the scroll bars and view of each scrolled
// control. Call once the controls carry their own accessible names.
void nameInnerParts(QWidget* window);

// Announces a top-level widget that is no dialog as a window (a plain widget is otherwise a
// "filler").
void announceAsWindow(QWidget* window);

}  // namespace ScreenReader
