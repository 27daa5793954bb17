#pragma once

#include <QString>

// Why the database could not be reached, in plain words, and what to do about it.
namespace DatabaseAccess {

// The cause and the remedy behind a failure to reach the database: on the file, a data folder
// whose group the account is not in (or not yet in this session), or that is not set up; on the
// server, a server that does not answer or refuses the connection. Empty when there is nothing
// plainer to say than the failure itself.
QString explanation(const QString& failure);

// The explanation, or else the failure itself.
QString cause(const QString& failure);

// The one message of a command that needs the database while none is open.
QString notOpenMessage(const QString& failure);

// What the empty case list says while no database is open.
QString notOpenNotice(const QString& failure);

// A warning when the machine-wide settings file gives the server's password, and every account
// of the computer may read the file; empty otherwise (the environment names the server, or no
// password is there, or only its owner may read it).
QString exposedPasswordWarning();

}  // namespace DatabaseAccess
