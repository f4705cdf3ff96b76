#include "filelist/FolderScan.h"

#include "filelist/ScanWalks.h"
#include "platform/LargeBlocks.h"

#include <utility>

namespace quorvane {

FolderScan::FolderScan(BatchSink sink, DoneHandler done, ScanOptions options)
    : m_sink(std::move(sink)), m_done(std::move(done)), m_options(options) {
    if (m_options.maxBatchRows == 0)
        m_options.maxBatchRows = 1;
    ReturnLargeBlocksAtOnce(); // batches are made on the walk's threads and freed on another
}

FolderScan::~FolderScan() {
    RequestStop();
    Wait();
}

bool FolderScan::Start(ScanRequest request) {
    if (m_running.load())
        return false;
    Wait(); // the previous worker has returned from its done handler; reap it
    m_stopRequested.store(false);
    m_running.store(true);
    m_worker = std::jthread([this, request = std::move(request)] { Run(request); });
    return true;
}

void FolderScan::RequestStop() {
    m_stopRequested.store(true);
}

void FolderScan::Wait() {
    if (m_worker.joinable())
        m_worker.join();
}

void FolderScan::Run(const ScanRequest& request) {
    // Nothing may escape the worker: an escaping exception would end the
    // program, and the done handler must run whatever happened.
    try {
        RowBatcher batcher(m_sink, m_options);
        if (m_options.singleThreadWalk)
            WalkOnOneThread(request, m_stopRequested, batcher);
        else
            WalkInParallel(request, m_stopRequested, batcher, m_options);
        batcher.Flush();
    } catch (...) {
    }
    try {
        if (m_done)
            m_done();
    } catch (...) {
    }
    m_running.store(false);
}

std::string WithTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace quorvane
