#include "runtime_check.h"

#include "error_box.h"
#include "globals.h"
#include "library_check.h"
#include "main_module.h"
#include "prompts.h"
#include "shell32.h"

namespace {

// Our page that tells a Linux user how to reinstall the SQLite and Qt libraries.
const QString kRepairArticle =
    QStringLiteral("https://www.orvanta.example/helvarine/repair-libraries/");

const QString kRepairQuestion = QStringLiteral(
    "Error #193: ADO is not properly installed on this computer. \r\n"
    "You need to have it installed to use this software without error.\r\n\r\n"
    "Would you like to repair it now?");

const QString kStopQuestion = QStringLiteral(
    "ADO is fixed on this computer. \r\n"
    "You need to restart your computer and software.\r\n\r\n"
    "Would you like to stop software now?");

QString noRepairMessage() {
    return QStringLiteral("Please check for MDAC installation.\r\n\r\nPlease check this: ") +
           kRepairArticle +
           QStringLiteral(
               " and look for 'How to obtain this update' section and download the appropriate "
               "update.\r\n\r\nPlease email ") +
           supportEmail() +
           QStringLiteral(" with a screenshot of this message if you have any questions.");
}

}  // namespace

RuntimeCheck::RuntimeCheck(Prompts& prompts, QString programFolder, LibraryWorks libraryWorks,
                           AddressWidth addressWidth, Run run)
    : m_prompts(prompts),
      m_programFolder(std::move(programFolder)),
      m_libraryWorks(libraryWorks ? std::move(libraryWorks)
                                  : LibraryWorks(&LibraryCheck::databaseLibraryWorks)),
      m_addressWidth(addressWidth ? std::move(addressWidth)
                                  : AddressWidth(&MainModule::GetProcessorAddressWidth)),
      m_run(run ? std::move(run) : Run([](const QString& command, int windowStyle) {
          return Shell32::RunAndWait(command, windowStyle);
      })) {}

QString RuntimeCheck::packageName(const QString& addressWidth) {
    return addressWidth == QLatin1String("64") ? QStringLiteral("ADOFix64.msu")
                                               : QStringLiteral("ADOFix86.msu");
}

QString RuntimeCheck::repairCommand(const QString& packagePath) {
    return QStringLiteral("/bin/sh ") + Shell32::QuoteArgument(packagePath);
}

bool RuntimeCheck::repairEndsProgram() {
    if (libraryUsable()) {
        return false;
    }
    if (!ask(kRepairQuestion)) {
        tell(noRepairMessage());
        return false;
    }
    QString addressWidth;  // stays empty when the width cannot be read
    try {
        addressWidth = m_addressWidth();
    } catch (...) {
    }
    const QString packagePath = m_programFolder + QLatin1Char('/') + packageName(addressWidth);
    if (!Globals::FileExists(packagePath)) {
        return false;  // nothing to repair with: start-up goes on without a word
    }
    // Whatever the package did, and whether it ran at all, the user is asked to restart.
    try {
        m_run(repairCommand(packagePath), kHidden);
    } catch (...) {
    }
    return ask(kStopQuestion);
}

bool RuntimeCheck::libraryUsable() {
    try {
        return m_libraryWorks();
    } catch (...) {
        return false;  // a check that fails is a broken library
    }
}

// A question that cannot be asked counts as No, so that start-up goes on.
bool RuntimeCheck::ask(const QString& question) {
    try {
        return m_prompts.confirm(question);
    } catch (...) {
        return false;
    }
}

void RuntimeCheck::tell(const QString& text) {
    try {
        m_prompts.inform(text);
    } catch (...) {
    }
}
