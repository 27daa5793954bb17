#pragma once

#include <QString>
#include <array>

#include "lookup_statements.h"

class Form2;
class QComboBox;

// The four lookup lists of the case editor (statuses, categories, priorities, knowledge bases):
// one piece of code for their "+" and "-" buttons, driven by this table of their differences.
// A lookup value has no ID: its text is its identity, in the list, in its table and in the
// cases that carry it.
struct LookupMember {
    QComboBox* Form2::*list;
    const char* loader;  // the loader's name, e.g. "LoadStatus"
    Lookup kind;         // the table of its values
    int addButton;       // the "+" button's number
    int deleteButton;    // the "-" button's number
    const char* addTip;  // the tooltips of the "+" and "-" buttons
    const char* deleteTip;
    const char* prompt;    // the input box's prompt
    const char* title;     // the input box's title
    const char* question;  // the first line of the deletion question
};

const std::array<LookupMember, 4>& lookupMembers();
