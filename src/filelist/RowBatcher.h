#pragma once
// The batches a scan hands over, shared by both walks.

#include "filelist/FolderScan.h"

#include <chrono>
#include <utility>

namespace quorvane {

using Clock = std::chrono::steady_clock;

// Collects rows and hands them to the sink in batches, so the receiving
// thread is woken a few times per second instead of once per file.
class RowBatcher {
public:
    RowBatcher(const FolderScan::BatchSink& sink, const ScanOptions& options)
        : m_sink(sink), m_options(options), m_deadline(Clock::now() + options.batchInterval) {}

    void Add(FileRow&& row) {
        m_pending.push_back(std::move(row));
        // Past the first few rows of a batch the clock is asked only every
        // few rows, which take a fraction of a millisecond; rows that trickle
        // in still go out on time.
        const std::size_t count = m_pending.size();
        if (count >= m_options.maxBatchRows ||
            ((count < kRowsPerClockCheck || count % kRowsPerClockCheck == 0) &&
             Clock::now() >= m_deadline))
            Flush();
    }

    void Flush() {
        m_deadline = Clock::now() + m_options.batchInterval;
        if (m_pending.empty())
            return;
        FileRows batch;
        batch.swap(m_pending);
        // The next batch is likely as large as this one: grow it once.
        m_pending.reserve(batch.size());
        if (m_sink)
            m_sink(std::move(batch));
    }

private:
    static constexpr std::size_t kRowsPerClockCheck = 32;

    const FolderScan::BatchSink& m_sink;
    const ScanOptions& m_options;
    Clock::time_point m_deadline;
    FileRows m_pending;
};

} // namespace quorvane
