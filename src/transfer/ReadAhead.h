#pragma once

#include "transfer/RecordSource.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace vantorel::transfer {

// Reads another reader's records on a thread of its own, a batch ahead of the one who takes them:
// the source is decoded on one core while the store takes the records on the other, as the two
// programs of a shell pipeline would. At most a few batches of about a megabyte wait at a time, so
// memory stays bounded whatever the source's size; a batch taken goes back to be filled again, so
// its records' buffers are reused. A failure of the source is thrown where the record it stopped at
// would have been taken.
class ReadAhead : public TableReader {
public:
    explicit ReadAhead(std::unique_ptr<TableReader> source);
    ~ReadAhead() override;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    bool next(data::BulkRecord& record) override;

private:
    struct Batch {
        std::vector<data::BulkRecord> records;
        bool last = false;
        std::exception_ptr failure;
    };

    void readBatches();
    bool takeBatch();

    std::unique_ptr<TableReader> m_source;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Batch> m_waiting;
    std::vector<std::vector<data::BulkRecord>> m_returned;
    bool m_stopping = false;
    Batch m_current;
    size_t m_next = 0;
    std::thread m_reader;
};

} // namespace vantorel::transfer
