#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "text_column.h"

// The texts of a list's rows, column by column (see TextColumn); a row's handle is its index in
// every column.
//
// A list shares its columns with whoever reads them beside it, as the find field's folding does
// on a thread of its own: a std::shared_ptr<const ListColumns> is a snapshot that stays as it was
// taken, however the list changes. The list (ListRows) changes its columns in place only while no
// one else holds them, and otherwise changes a copy that then becomes its own; the copy shares
// the columns' long arrays (SharedArray), so that it costs little however many rows there are.
class ListColumns {
public:
    size_t count() const { return m_columns.size(); }
    // Every row handle given, removed rows included.
    size_t rows() const { return m_columns.empty() ? 0 : m_columns.front().size(); }
    const TextColumn& operator[](size_t column) const { return m_columns[column]; }

    // True when these columns begin with the rows of `earlier`, unchanged and kept alike (each
    // column shared or packed as there): they came from it by appending rows only.
    bool continues(const ListColumns& earlier) const {
        if (m_edition != earlier.m_edition || count() != earlier.count() ||
            rows() < earlier.rows()) {
            return false;
        }
        for (size_t column = 0; column < count(); ++column) {
            if (m_columns[column].shared() != earlier.m_columns[column].shared()) {
                return false;
            }
        }
        return true;
    }

private:
    friend class ListRows;

    std::vector<TextColumn> m_columns;
    // Appended rows keep the edition; emptied columns, or a row's text replaced, begin a new one.
    uint64_t m_edition = 0;
};
