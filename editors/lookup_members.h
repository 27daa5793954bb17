#pragma once

#include <QString>
#include <array>

#include "lookup_statements.h"

// The four lookup lists of the case editor (statuses, categories, priorities, knowledge bases):
// one piece of code for their "+" and "-" buttons, driven by this table of their differences.
// A lookup value has no ID: its text is its identity, in the list, in its table and in the
// cases that carry it. The rows are in the order Status, Category, Priority, Knowledge Base;
// the editor builds from each a family that holds the list and its two buttons.
struct LookupMember {
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
