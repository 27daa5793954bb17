#pragma once

#include <QString>

class Prompts;

// Where users send the screenshot of an error box, or write to the makers of the program.
inline QString supportEmail() {
    return QStringLiteral("support@orvanta.example");
}

// The common error report: what failed, where, at which numbered line, and a request for a
// screenshot. Caption "Application Error", warning icon, OK only.
QString errorBoxText(const QString& description, const QString& location, int line);
void ErrorBox(Prompts& prompts, const QString& description, const QString& location, int line);

// The location text of a trapped procedure, e.g. "in Casewright2021/08/31.Form1.Form_Load ".
QString procedureLocation(const QString& window, const QString& procedure);
