#include "error_box.h"

#include "prompts.h"

QString errorBoxText(const QString& description, const QString& location, int line) {
    return description + QLatin1String("\r\n") + location + QLatin1String("at line ") +
           QString::number(line) + QLatin1String("\r\r") +
           QLatin1String("Please email screenshot of this message to ") + supportEmail();
}

void ErrorBox(Prompts& prompts, const QString& description, const QString& location, int line) {
    prompts.message(errorBoxText(description, location, line), Prompts::Buttons::Ok,
                    Prompts::Icon::Warning, QStringLiteral("Application Error"));
}

QString procedureLocation(const QString& window, const QString& procedure) {
    return QLatin1String("in Casewright2021/08/31.") + window + QLatin1Char('.') + procedure +
           QLatin1Char(' ');
}
