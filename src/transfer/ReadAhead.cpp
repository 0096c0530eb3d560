#include "transfer/ReadAhead.h"

namespace vantorel::transfer {

namespace {

constexpr size_t kBatchRecords = 1024;
constexpr size_t kBatchBytes = 1 << 20;
constexpr size_t kBatchesWaiting = 4;

size_t sizeOf(const data::BulkRecord& record)
{
    size_t bytes = 0;
    for (const data::BulkField& field : record)
        bytes += field.text.size();
    return bytes;
}

} // namespace

ReadAhead::ReadAhead(std::unique_ptr<TableReader> source)
    : m_source(std::move(source))
    , m_reader([this] { readBatches(); })
{
}

ReadAhead::~ReadAhead()
{
    {
        const std::lock_guard lock(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_reader.join();
}

void ReadAhead::readBatches()
{
    while (true) {
        Batch batch;
        {
            const std::lock_guard lock(m_lock);
            if (!m_returned.empty()) {
                batch.records = std::move(m_returned.back());
                m_returned.pop_back();
            }
        }
        batch.records.resize(batch.records.capacity());
        size_t used = 0;
        size_t bytes = 0;
        try {
            while (used < kBatchRecords && bytes < kBatchBytes) {
                if (used == batch.records.size())
                    batch.records.emplace_back();
                if (!m_source->next(batch.records[used])) {
                    batch.last = true;
                    break;
                }
                bytes += sizeOf(batch.records[used++]);
            }
        } catch (...) {
            batch.failure = std::current_exception();
            batch.last = true;
        }
        batch.records.resize(used);
        const bool last = batch.last;
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [&] { return m_stopping || m_waiting.size() < kBatchesWaiting; });
        if (m_stopping)
            return;
        m_waiting.push_back(std::move(batch));
        m_changed.notify_all();
        if (last)
            return;
    }
}

bool ReadAhead::takeBatch()
{
    if (m_current.last) {
        if (m_current.failure)
            std::rethrow_exception(std::exchange(m_current.failure, nullptr));
        return false;
    }
    std::unique_lock lock(m_lock);
    m_changed.wait(lock, [&] { return !m_waiting.empty(); });
    m_returned.push_back(std::move(m_current.records));
    m_current = std::move(m_waiting.front());
    m_waiting.pop_front();
    m_next = 0;
    m_changed.notify_all();
    return true;
}

bool ReadAhead::next(data::BulkRecord& record)
{
    while (m_next == m_current.records.size()) {
        if (!takeBatch())
            return false;
    }
    std::swap(record, m_current.records[m_next++]);
    return true;
}

} // namespace vantorel::transfer
