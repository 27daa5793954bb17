#pragma once

#include "twips.h"

class QDialog;
class QLabel;
class QWidget;

// What every secondary window shares: a fixed-size dialog without minimise and maximise
// buttons, with its client area in twips, centred on the screen.
namespace DialogFrame {

void setUp(QDialog* dialog, double clientWidth, double clientHeight);
void centreOnScreen(QWidget* window);

// A caption label at the left edge of a field, `above` twips above the field's top, 225 high.
// The caption is also the field's accessible name.
QLabel* labelAbove(QWidget* field, const QString& objectName, const QString& caption, double above);

}  // namespace DialogFrame
