#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine.h"

// Reads the rows of another cursor on a thread of its own, a batch of rows ahead of the one who
// takes them, so that the engine's work on the next rows and the taker's work on the last ones
// run at the same time. Nothing else may use the connection until the cursor is at its end or
// destroyed. A failure while reading is thrown by the next() that reaches it.
class ReadAheadCursor : public Cursor {
public:
    // Reads the columns marked in `wanted` (every column when it is empty); the others read as
    // NULL, and cost neither the engine's calls nor copying.
    explicit ReadAheadCursor(std::unique_ptr<Cursor> rows, std::vector<bool> wanted = {});
    ~ReadAheadCursor() override;
    ReadAheadCursor(const ReadAheadCursor&) = delete;
    ReadAheadCursor& operator=(const ReadAheadCursor&) = delete;

    int columnCount() const override { return m_columnCount; }
    QString columnName(int column) const override;
    bool isDateColumn(int column) const override;
    bool next() override;
    Kind kind(int column) const override { return cell(column).kind; }
    qint64 integer(int column) const override {
        const Cell& value = cell(column);
        return value.kind == Kind::Integer ? value.number.integer : 0;
    }
    double real(int column) const override {
        const Cell& value = cell(column);
        return value.kind == Kind::Real ? value.number.real : 0;
    }
    std::string_view bytes(int column) const override;

private:
    // 16 bytes a cell: a batch of a thousand rows of a wide view stays small, however many
    // batches wait.
    struct Cell {
        Kind kind = Kind::Null;
        uint32_t size = 0;  // a text's or blob's bytes in the batch, from number.start
        union {
            qint64 integer = 0;
            double real;
            size_t start;
        } number;
    };
    struct Batch {
        std::vector<Cell> cells;  // row after row
        std::string bytes;
        size_t rows = 0;
    };

    const Cell& cell(int column) const {
        return m_batch
            .cells[m_row * static_cast<size_t>(m_columnCount) + static_cast<size_t>(column)];
    }
    void read();
    void stopReading();

    std::unique_ptr<Cursor> m_rows;
    int m_columnCount = 0;
    std::vector<QString> m_names;
    std::vector<bool> m_dateColumns;
    std::vector<bool> m_wanted;

    // Shared with the reading thread.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_ready;
    std::vector<Batch> m_spent;  // taken batches, whose memory the reader fills again
    bool m_done = false;         // the reader has read its last row (or failed)
    bool m_stopped = false;      // the taker wants no more rows
    std::exception_ptr m_failure;
    std::thread m_reader;

    // The taker's.
    Batch m_batch;
    size_t m_row = 0;
    bool m_started = false;
};
