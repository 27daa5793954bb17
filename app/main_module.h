#pragma once

#include <QString>

class QWidget;

// The application-wide procedures of start-up.
namespace MainModule {

// Skins the window with the style sheet "x/o.cjs" from the program's folder, when that file
// exists; otherwise nothing is changed.
void ApplySkin(QWidget* window, const QString& programFolder);

// The application title made from the product's display name: the text before its last blank,
// cut again while longer than 40 characters. A name without a blank stays whole.
QString ShortenAppTitle(const QString& displayName = QStringLiteral("Helvarine"));

// "64" on a 64-bit system, "32" otherwise.
QString GetProcessorAddressWidth();

}  // namespace MainModule
