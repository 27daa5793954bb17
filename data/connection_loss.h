#pragma once

// One report per lost connection. A command of the user's runs as numbered steps under error
// traps, each of which opens an Action; the outermost one at an event loop's level is the command.
// The step that meets a lost connection (or cannot make it again) reports it; the command's later
// steps fail at once, without trying to connect and without a box of their own, so that a dead
// server costs one wait and one message. The next command connects again.
// All of it belongs to the thread that runs the command (the windows' thread); the list's
// read-ahead thread, which runs no command, is never held back.
namespace ConnectionLoss {

class Action {
public:
    Action();
    ~Action();
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;

private:
    bool m_outermost;
    int m_level;
};

// The connection was lost or could not be made during a command.
void lost();
// The connection was made again within the command: its later steps may use it.
void regained();
// True while a command that lost the connection runs: the engine does not connect again.
bool holding();
// True the first time a lost connection is reported within the command.
bool firstReport();

}  // namespace ConnectionLoss
