#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the program: a failed operation with the description that the
// failing operation gave. Error traps show the description in the error box.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& description)
        : std::runtime_error(description.toStdString()), m_description(description) {}

    const QString& description() const noexcept { return m_description; }

private:
    QString m_description;
};

// A failure because the connection to the server was lost or could not be made: reported once
// per command (see ConnectionLoss).
class ConnectionLost : public Failure {
public:
    using Failure::Failure;
};
