#include "filelist/FolderScan.h"

#include "platform/DirectorySearch.h"

#include <memory>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

using Clock = std::chrono::steady_clock;

// Collects rows and hands them to the sink in batches, so the receiving
// thread is woken a few times per second instead of once per file.
class RowBatcher {
public:
    RowBatcher(const FolderScan::BatchSink& sink, const ScanOptions& options)
        : m_sink(sink), m_options(options), m_deadline(Clock::now() + options.batchInterval) {}

    void Add(FileRow&& row) {
        m_pending.push_back(std::move(row));
        if (m_pending.size() >= m_options.maxBatchRows || Clock::now() >= m_deadline)
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
    const FolderScan::BatchSink& m_sink;
    const ScanOptions& m_options;
    Clock::time_point m_deadline;
    FileRows m_pending;
};

// One walk over a folder tree. Each folder is listed at most once, so a
// symbolic link back to an ancestor cannot make the walk endless and no file
// is listed twice through two paths.
class FolderWalk {
public:
    FolderWalk(const ScanRequest& request, const std::atomic<bool>& stop, RowBatcher& batcher)
        : m_request(request), m_stop(stop), m_batcher(batcher) {}

    void Run() {
        const std::string& root = m_request.folder;
        if (root.empty() || !FirstVisit(root))
            return;
        ListFiles(root);
        if (m_request.includeSubfolders && !Stopped())
            WalkSubfolders(root);
    }

private:
    bool Stopped() const { return m_stop.load(std::memory_order_relaxed); }

    bool FirstVisit(const std::string& folder) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0)
            return false;
        return m_visited.emplace(st.st_dev, st.st_ino).second;
    }

    // An error while listing a folder ends that folder only.
    void ListFiles(const std::string& folder) {
        try {
            const auto shared = std::make_shared<const std::string>(folder);
            DirectorySearch search(folder, m_request.filter, SearchMode::Files);
            // One stat per file and nothing else: the stored Samba bits would
            // cost a second call per file; the list reads them for drawn rows.
            search.SetReadStoredAttributes(false);
            DirEntry entry;
            while (!Stopped() && search.Next(entry)) {
                FileRow row;
                row.originalName = std::move(entry.name);
                row.folder = shared;
                row.sizeBytes = entry.size;
                row.modifiedUtc = entry.modifiedUtc;
                row.attributes = entry.attributes;
                m_batcher.Add(std::move(row));
            }
        } catch (const std::exception&) {
        }
    }

    std::vector<std::string> SubfoldersOf(const std::string& folder) {
        std::vector<std::string> paths;
        try {
            DirectorySearch search(folder, "*.*", SearchMode::Folders);
            DirEntry entry;
            while (!Stopped() && search.Next(entry))
                paths.push_back(folder + entry.name + "/");
        } catch (const std::exception&) {
        }
        return paths;
    }

    // Depth first, pre-order, with an explicit stack: a deep tree neither
    // exhausts the thread's stack nor keeps one open directory per level.
    void WalkSubfolders(const std::string& root) {
        struct Level {
            std::vector<std::string> subfolders;
            std::size_t next = 0;
        };
        std::vector<Level> stack;
        stack.push_back({SubfoldersOf(root)});
        while (!stack.empty() && !Stopped()) {
            Level& level = stack.back();
            if (level.next == level.subfolders.size()) {
                stack.pop_back();
                continue;
            }
            const std::string folder = std::move(level.subfolders[level.next++]);
            if (!FirstVisit(folder))
                continue;
            ListFiles(folder);
            if (!Stopped())
                stack.push_back({SubfoldersOf(folder)});
        }
    }

    const ScanRequest& m_request;
    const std::atomic<bool>& m_stop;
    RowBatcher& m_batcher;
    std::set<std::pair<dev_t, ino_t>> m_visited;
};

} // namespace

FolderScan::FolderScan(BatchSink sink, DoneHandler done, ScanOptions options)
    : m_sink(std::move(sink)), m_done(std::move(done)), m_options(options) {
    if (m_options.maxBatchRows == 0)
        m_options.maxBatchRows = 1;
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
        FolderWalk(request, m_stopRequested, batcher).Run();
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
