#include "read_ahead_cursor.h"

#include "connection_loss.h"
#include "failure.h"

#include <utility>

namespace {

constexpr size_t kBatchRows = 1024;
// Batches read but not yet taken: enough to even out both sides' pace, little memory.
constexpr size_t kBatchesAhead = 32;

}  // namespace

ReadAheadCursor::ReadAheadCursor(std::unique_ptr<Cursor> rows, std::vector<bool> wanted)
    : m_rows(std::move(rows)), m_wanted(std::move(wanted)) {
    // What the taker may ask of the columns is read before the reader starts.
    m_columnCount = m_rows->columnCount();
    if (m_wanted.empty()) {
        m_wanted.assign(static_cast<size_t>(m_columnCount), true);
    }
    for (int column = 0; column < m_columnCount; ++column) {
        m_names.push_back(m_rows->columnName(column));
        m_dateColumns.push_back(m_rows->isDateColumn(column));
    }
    m_reader = std::thread([this] { read(); });
}

ReadAheadCursor::~ReadAheadCursor() {
    stopReading();
}

void ReadAheadCursor::stopReading() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
    if (m_reader.joinable()) {
        m_reader.join();
    }
}

QString ReadAheadCursor::columnName(int column) const {
    return m_names[static_cast<size_t>(column)];
}

bool ReadAheadCursor::isDateColumn(int column) const {
    return m_dateColumns[static_cast<size_t>(column)];
}

void ReadAheadCursor::read() {
    const auto columns = static_cast<size_t>(m_columnCount);
    Batch batch;
    try {
        bool more = true;
        while (more) {
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                if (!m_spent.empty()) {
                    batch = std::move(m_spent.back());
                    m_spent.pop_back();
                }
            }
            batch.cells.clear();
            batch.bytes.clear();
            batch.rows = 0;
            batch.cells.reserve(kBatchRows * columns);
            while (batch.rows < kBatchRows && (more = m_rows->next())) {
                for (int column = 0; column < m_columnCount; ++column) {
                    Cell cell;
                    if (!m_wanted[static_cast<size_t>(column)]) {
                        batch.cells.push_back(cell);
                        continue;
                    }
                    cell.kind = m_rows->kind(column);
                    if (cell.kind == Kind::Integer) {
                        cell.number.integer = m_rows->integer(column);
                    } else if (cell.kind == Kind::Real) {
                        cell.number.real = m_rows->real(column);
                    } else if (cell.kind != Kind::Null) {
                        const std::string_view bytes = m_rows->bytes(column);
                        cell.number.start = batch.bytes.size();
                        cell.size = static_cast<uint32_t>(bytes.size());
                        batch.bytes.append(bytes);
                    }
                    batch.cells.push_back(cell);
                }
                ++batch.rows;
            }
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopped || m_ready.size() < kBatchesAhead; });
            if (m_stopped) {
                return;
            }
            if (batch.rows > 0) {
                // The batch is handed over; the next one starts empty, or from a spent one.
                m_ready.push_back(std::exchange(batch, Batch()));
            }
            m_done = !more;
            lock.unlock();
            m_changed.notify_all();
        }
    } catch (...) {
        // The rows read before the failure are taken first; the failure comes after them.
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (batch.rows > 0) {
            batch.cells.resize(batch.rows * columns);
            m_ready.push_back(std::move(batch));
        }
        m_failure = std::current_exception();
        m_done = true;
    }
    m_changed.notify_all();
}

bool ReadAheadCursor::next() {
    if (m_started && m_row + 1 < m_batch.rows) {
        ++m_row;
        return true;
    }
    m_started = true;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_ready.empty() || m_done; });
    if (m_ready.empty()) {
        m_batch = Batch();
        m_row = 0;
        if (m_failure) {
            lock.unlock();
            try {
                std::rethrow_exception(std::exchange(m_failure, nullptr));
            } catch (const ConnectionLost&) {
                // Met on the reading thread, which runs no command: the taker's command holds
                // the loss, so that its later steps do not connect again (see ConnectionLoss).
                ConnectionLoss::lost();
                throw;
            }
        }
        return false;
    }
    if (m_spent.size() < kBatchesAhead) {
        m_spent.push_back(std::move(m_batch));
    }
    m_batch = std::move(m_ready.front());
    m_ready.pop_front();
    m_row = 0;
    lock.unlock();
    m_changed.notify_all();
    return true;
}

std::string_view ReadAheadCursor::bytes(int column) const {
    static_assert(sizeof(Cell) == 16);
    const Cell& value = cell(column);
    if (value.kind != Kind::Text && value.kind != Kind::Blob) {
        return {};
    }
    return {m_batch.bytes.data() + value.number.start, value.size};
}
