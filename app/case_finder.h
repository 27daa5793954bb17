#pragma once

#include <QString>

#include "text_finder.h"

// What the find field finds among the listed cases: a row is found when its texts together
// contain every typed word (see TextFinder, which holds the list's folded texts). The word
// "overdue" stands for the overdue cases, the rows the finder marks.
class CaseFinder : public TextFinder {
public:
    bool overdue(int row) const { return marked(row); }

    // The typed text; its words are separated by white space.
    void setQuery(const QString& typed);
};
