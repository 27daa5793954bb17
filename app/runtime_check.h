#pragma once

#include <QString>
#include <functional>

class Prompts;

// The start-up check that the database library can be used at all, with the offer to repair it
// from a package beside the program. Nothing survives between calls; every failure inside is
// swallowed, so the check never shows the error box.
class RuntimeCheck {
public:
    // Whether the database library works; the real check opens an in-memory database.
    using LibraryWorks = std::function<bool()>;
    // "64" on a 64-bit system, "32" otherwise; may throw.
    using AddressWidth = std::function<QString()>;
    // Starts a command line with a window style and waits until it has ended.
    using Run = std::function<int(const QString& command, int windowStyle)>;

    // The window style the repair package runs with: hidden.
    static constexpr int kHidden = 0;

    // An empty function stands for the real one: LibraryCheck::databaseLibraryWorks,
    // MainModule::GetProcessorAddressWidth, Shell32::RunAndWait.
    RuntimeCheck(Prompts& prompts, QString programFolder, LibraryWorks libraryWorks = {},
                 AddressWidth addressWidth = {}, Run run = {});

    // Checks the library and, when it is broken, offers the repair. True when the user chose to
    // stop the program after a repair: then start-up must end at once.
    bool repairEndsProgram();

    // The repair package for an address width: ADOFix64.msu for exactly "64", else ADOFix86.msu.
    static QString packageName(const QString& addressWidth);
    // The command line that installs a package: the package is a script for /bin/sh.
    static QString repairCommand(const QString& packagePath);

private:
    bool libraryUsable();
    bool ask(const QString& question);
    void tell(const QString& text);

    Prompts& m_prompts;
    QString m_programFolder;
    LibraryWorks m_libraryWorks;
    AddressWidth m_addressWidth;
    Run m_run;
};
