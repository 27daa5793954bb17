#pragma once

#include <QStringList>
#include <array>

class Form2;
class QComboBox;
struct ContactKind;

// The three people lists of the case editor (Assigned To and Opened By, both employees, and
// Customer): one piece of code for their "+", "*" and "-" buttons, driven by this table of their
// differences. A person is always found by the list position through the parallel ID list,
// never by the name shown.
struct PeopleMember {
    QComboBox* Form2::*list;
    QStringList Form2::*ids;
    void (Form2::*loader)();
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
