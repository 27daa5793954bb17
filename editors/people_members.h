#pragma once

#include <array>

struct ContactKind;

// The three people lists of the case editor (Assigned To and Opened By, both employees, and
// Customer): one piece of code for their "+", "*" and "-" buttons, driven by this table of their
// differences. A person is always found by the list position through the parallel ID list,
// never by the name shown.
// The rows are in the order Assigned To, Opened By, Customer; the editor builds from each a
// family that holds the list, its IDs, its loader and its three buttons.
struct PeopleMember {
    const ContactKind& (*editor)();
    int addButton;       // "+"
    int editButton;      // "*"
    int deleteButton;    // "-"
    const char* addTip;  // the tooltips of the three buttons
    const char* editTip;
    const char* deleteTip;
    const char* question;  // the first line of the deletion question
};

const std::array<PeopleMember, 3>& peopleMembers();
