#pragma once

#include <QString>
#include <array>

class Form2;
class QComboBox;

// The four lookup lists of the case editor (statuses, categories, priorities, knowledge bases):
// one piece of code for their "+" and "-" buttons, driven by this table of their differences.
// A lookup value has no ID: its text is its identity, in the list, in its table and in the
// cases that carry it.
struct LookupMember {
    QComboBox* Form2::*list;
    const char* loader;  // the loader's name, e.g. "LoadStatus"
    const char* select;  // the loader's statement
    const char* column;  // the column the loader reads
    int addButton;       // the "+" button's number
    int deleteButton;    // the "-" button's number
    const char* addTip;  // the tooltips of the "+" and "-" buttons
    const char* deleteTip;
    const char* prompt;        // the input box's prompt
    const char* title;         // the input box's title
    const char* insert;        // the INSERT text, then the value, then "')"
    const char* question;      // the first line of the deletion question
    const char* deleteLookup;  // the lookup DELETE text, then the value, then "'"
    const char* deleteCases;   // the cascade DELETE text, then the value, then "'"
};

const std::array<LookupMember, 4>& lookupMembers();
