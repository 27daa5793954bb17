#include "shell32.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QByteArray>
#include <QByteArrayList>
#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

extern char** environ;

namespace Shell32 {

namespace {

constexpr unsigned long kPollMilliseconds = 100;

bool separatesWords(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// The characters that a backslash escapes inside double quotes.
bool escapableInDoubleQuotes(QChar c) {
    return c == QLatin1Char('$') || c == QLatin1Char('`') || c == QLatin1Char('"') ||
           c == QLatin1Char('\\') || c == QLatin1Char('\n');
}

// The environment of the started program: ours, with its window style in kWindowStyleVariable.
QByteArrayList childEnvironment(int windowStyle) {
    const QByteArray prefix = QByteArray(kWindowStyleVariable) + '=';
    QByteArrayList entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, prefix.constData(), static_cast<size_t>(prefix.size())) != 0) {
            entries.append(QByteArray(*entry));
        }
    }
    entries.append(prefix + QByteArray::number(windowStyle));
    return entries;
}

// NULL-terminated pointers into the texts, for posix_spawnp; valid while the texts live.
std::vector<char*> pointers(QByteArrayList& texts) {
    std::vector<char*> result;
    result.reserve(static_cast<size_t>(texts.size()) + 1);
    for (QByteArray& text : texts) {
        result.push_back(text.data());
    }
    result.push_back(nullptr);
    return result;
}

// Starts the program of the command line without a shell; gives 0 and the process identifier,
// or the error number of the failed start.
int start(const QString& command, int windowStyle, pid_t& pid) {
    const std::optional<QStringList> words = SplitCommandLine(command);
    if (!words) {
        return EINVAL;  // a quote that is never closed
    }
    if (words->isEmpty()) {
        return ENOENT;  // no program named
    }
    QByteArrayList arguments;
    for (const QString& word : *words) {
        arguments.append(QFile::encodeName(word));
    }
    QByteArrayList environment = childEnvironment(windowStyle);
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> envp = pointers(environment);

    // The program must not inherit a blocked signal, nor a broken pipe that we ignore.
    posix_spawnattr_t attributes;
    if (const int error = posix_spawnattr_init(&attributes); error != 0) {
        return error;
    }
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int error = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    return error;
}

// The exit code of the process as it stands: kStillActive while it runs, 128 + the signal when a
// signal ended it, and 0 when it cannot be waited for (not our child, or already collected).
int readExitCode(pid_t pid) {
    int status = 0;
    pid_t result = 0;
    do {
        result = waitpid(pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) {
        return kStillActive;
    }
    if (result == pid) {
        if (WIFEXITED(status)) {
            return WEXITSTATUS(status);
        }
        if (WIFSIGNALED(status)) {
            return 128 + WTERMSIG(status);
        }
    }
    return 0;
}

}  // namespace

int SettleWindowStyle(std::optional<int> windowStyle) {
    if (!windowStyle || *windowStyle < 0 || *windowStyle > 6) {
        return kDefaultWindowStyle;
    }
    return *windowStyle;
}

std::optional<QStringList> SplitCommandLine(const QString& command) {
    enum class Quote { None, Single, Double };
    Quote quote = Quote::None;
    QStringList words;
    QString word;
    bool inWord = false;  // also true for a word made only of quotes, such as ''
    const qsizetype length = command.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = command.at(i);
        const bool escapesNext = c == QLatin1Char('\\') && i + 1 < length;
        switch (quote) {
            case Quote::Single:
                if (c == QLatin1Char('\'')) {
                    quote = Quote::None;
                } else {
                    word += c;
                }
                break;
            case Quote::Double:
                if (c == QLatin1Char('"')) {
                    quote = Quote::None;
                } else if (escapesNext && escapableInDoubleQuotes(command.at(i + 1))) {
                    ++i;
                    if (command.at(i) != QLatin1Char('\n')) {  // an escaped line feed goes
                        word += command.at(i);
                    }
                } else {
                    word += c;
                }
                break;
            case Quote::None:
                if (separatesWords(c)) {
                    if (inWord) {
                        words.append(word);
                        word.clear();
                        inWord = false;
                    }
                } else if (c == QLatin1Char('\'')) {
                    quote = Quote::Single;
                    inWord = true;
                } else if (c == QLatin1Char('"')) {
                    quote = Quote::Double;
                    inWord = true;
                } else if (escapesNext) {
                    ++i;
                    if (command.at(i) != QLatin1Char('\n')) {  // an escaped line feed goes
                        word += command.at(i);
                        inWord = true;
                    }
                } else {
                    word += c;  // also a backslash that ends the line: it stands for itself
                    inWord = true;
                }
                break;
        }
    }
    if (quote != Quote::None) {
        return std::nullopt;
    }
    if (inWord) {
        words.append(word);
    }
    return words;
}

QString QuoteArgument(const QString& argument) {
    static const QString plain =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_@%+=:,./-");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument) {
        needsQuotes = needsQuotes || !plain.contains(c);
    }
    if (!needsQuotes) {
        return argument;
    }
    // Inside single quotes everything is literal but the single quote itself, which is closed,
    // escaped and reopened.
    QString quoted = argument;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

int RunAndWait(const QString& command, std::optional<int> windowStyle) {
    const int style = SettleWindowStyle(windowStyle);
    pid_t pid = 0;
    int startError = 0;
    try {
        startError = start(command, style, pid);
    } catch (...) {
        startError = ENOMEM;  // only building the arguments can throw
    }
    if (startError != 0) {
        return startError + kStartErrorOffset;
    }
    // Poll: read the exit code, let the thread handle its pending events (windows repaint,
    // input is handled, handlers may run nested inside this wait), sleep; no time limit.
    int exitCode = 0;
    do {
        exitCode = readExitCode(pid);
        QCoreApplication::processEvents();
        QThread::msleep(kPollMilliseconds);
    } while (exitCode == kStillActive);
    return exitCode;
}

}  // namespace Shell32
