#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Starts a program and waits for it to end, while the calling thread keeps handling its events.
namespace Shell32 {

// Added to the error number of a start that failed: every such result is negative
// (hexadecimal 80040000, the mark of an application-defined error).
inline constexpr int kStartErrorOffset = -2147221504;
// The exit code read while the process is still running.
inline constexpr int kStillActive = 259;
// Window style 6: minimized, without focus. Also the style of a missing or unknown style.
inline constexpr int kDefaultWindowStyle = 6;
// The started program finds its window style (0 to 6) in this environment variable; a program
// without windows has no use for it.
inline constexpr const char* kWindowStyleVariable = "HELVARINE_WINDOW_STYLE";

// Starts the command line with the window style and waits until the process has ended; gives
// its exit code (128 + the signal number for a process that a signal ended), or, when the
// program cannot be started, the error number + kStartErrorOffset at once.
// The command line is split into words as a POSIX shell would split it, but no shell runs: no
// variables, patterns or operators are expanded.
int RunAndWait(const QString& command, std::optional<int> windowStyle = std::nullopt);

// A style from 0 to 6 stays; a missing one, or one below 0 or above 6, gives 6.
int SettleWindowStyle(std::optional<int> windowStyle);

// The words of a command line, after the quoting rules of a POSIX shell: blanks, tabs and line
// feeds separate words; a backslash takes the next character literally; single quotes keep
// everything up to the next single quote; double quotes keep everything but let a backslash
// escape $ ` " \ and a line feed. Nothing is given for a quote that is never closed.
std::optional<QStringList> SplitCommandLine(const QString& command);

// The argument quoted so that SplitCommandLine gives it back as one word, unchanged.
QString QuoteArgument(const QString& argument);

}  // namespace Shell32
