#include "filelist/ScanWalks.h"

#include "filelist/EntryRow.h"
#include "filelist/HelperPacer.h"
#include "filelist/RowOrder.h"
#include "platform/DirectorySearch.h"
#include "platform/LargeBlocks.h"

#include <algorithm>
#include <condition_variable>
#include <iterator>
#include <memory>
#include <mutex>
#include <sched.h>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

using Clock = std::chrono::steady_clock;

// The cores this process may run on, which a container or `taskset` may
// make fewer than the machine has.
unsigned AvailableCores() {
    cpu_set_t cores;
    CPU_ZERO(&cores);
    if (::sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0)
        return static_cast<unsigned>(CPU_COUNT(&cores));
    return std::thread::hardware_concurrency();
}

unsigned WalkThreads(const ScanOptions& options) {
    if (options.threads > 0)
        return options.threads;
    return std::clamp(AvailableCores(), 1u, 4u);
}

// The walk on several threads. Work comes in two kinds: opening a folder, and
// reading the next chunk of raw entries of an open folder and examining them
// (the stats are most of the time). One thread at a time reads a given folder;
// the others meanwhile examine earlier chunks of it or work on other folders.
// Every chunk keeps its number within its folder, and the folders form the
// tree of the walk, so the rows can be handed over in exactly the order of the
// single-thread walk: once a folder is listed, its rows and subfolders are put
// in name order, and a cursor goes through the tree in pre-order and passes
// on each folder's rows as soon as everything before them has been passed on.
class ParallelWalk {
public:
    ParallelWalk(const ScanRequest& request, const std::atomic<bool>& stop, RowBatcher& batcher,
                 const ScanOptions& options)
        : m_request(request), m_stop(stop), m_batcher(batcher), m_threads(WalkThreads(options)),
          m_paced(options.threads == 0), m_rowsAheadLimit(2 * options.maxBatchRows) {}

    void Run() {
        if (m_request.folder.empty())
            return;
        m_root = std::make_unique<Folder>(nullptr, m_request.folder);
        m_pending.push_back(m_root.get());
        m_cursor.push_back({m_root.get()});
        {
            std::vector<std::jthread> helpers;
            for (unsigned i = 1; i < m_threads; ++i) {
                try {
                    helpers.emplace_back([this, leads = helpers.empty()] {
                        if (m_paced)
                            Help(leads);
                        else
                            Work(false);
                    });
                } catch (const std::system_error&) {
                    break; // fewer threads walk; the rows stay the same
                }
            }
            Work(false);
        } // the helpers are joined here
    }

private:
    struct Chunk {
        bool examined = false;
        FileRows rows;
        std::vector<std::string> subfolders; // names, in entry order
    };

    struct Folder {
        Folder(Folder* parentFolder, std::string folderPath, std::string_view folderName = {})
            : parent(parentFolder), path(std::move(folderPath)), name(folderName), shared(path) {}

        Folder* const parent;
        const std::string path; // ends in "/"
        const std::string name; // empty for the root
        FolderPath shared;
        // The folder's own row, handed over just before the rows inside it.
        FileRow row;
        bool hasRow = false;
        // Set by the thread that opens the folder, before any other touches it.
        FolderListing listing;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        // The rest is guarded by the walk's mutex.
        // Sorting: every chunk is examined and a thread puts them in order.
        enum class State { Pending, Open, Sorting, Listed } state = State::Pending;
        bool reading = false;    // a thread is reading its next chunk
        bool endReached = false; // no chunk is left to read
        bool walkedInto = false; // yields rows (opened, not hidden, not a loop)
        bool abandoned = false;  // already listed elsewhere: nothing below it is walked
        std::size_t chunksExamined = 0;
        std::vector<Chunk> chunks;
        std::vector<std::unique_ptr<Folder>> children; // in entry order, once listed
    };

    // Where the hand-over stands: a folder, its next chunk and its next child.
    struct Position {
        Folder* folder;
        bool entered = false;
        std::size_t nextChunk = 0;
        std::size_t nextChild = 0;
    };

    struct Task {
        enum class Kind { None, Open, Read } kind = Kind::None;
        Folder* folder = nullptr;
    };

    using Lock = std::unique_lock<std::mutex>;

    bool Stopped() const { return m_stop.load(std::memory_order_relaxed); }

    // Takes tasks until the walk ends, or, for a helper, until it is sent to
    // rest or `until` has come.
    void Work(bool helper, Clock::time_point until = Clock::time_point::max()) {
        std::unique_ptr<char[]> buffer(new char[kChunkBytes]);
        Lock lock(m_mutex);
        while (!helper || (m_helpersWork && !m_ended && Clock::now() < until)) {
            const Task task = NextTask(lock, helper);
            if (task.kind == Task::Kind::None)
                break;
            if (task.kind == Task::Kind::Open)
                Open(lock, *task.folder);
            else
                ReadAndExamine(lock, *task.folder, buffer.get());
            --m_busy;
            m_changed.notify_all();
            HandOver(lock);
        }
        m_changed.notify_all();
    }

    // The earliest folder still being read goes first, so the hand-over is
    // rarely kept waiting; then the folder found last, which is the next one
    // in walk order more often than not.
    Task NextTask(Lock& lock, bool helper) {
        while (true) {
            if (Stopped())
                return End();
            if (helper && !m_helpersWork)
                return {};
            // Far ahead of the hand-over (a slow receiver), only what it waits
            // for is done, so rows do not pile up in memory.
            if (m_rowsWaiting >= m_rowsAheadLimit) {
                if (const Task task = TaskTheHandOverWaitsFor(); task.kind != Task::Kind::None)
                    return task;
                if (m_busy > 0 || m_handingOver) {
                    m_changed.wait(lock);
                    continue;
                }
            }
            for (Folder* folder : m_open) {
                if (!folder->reading && !folder->endReached && !folder->abandoned) {
                    folder->reading = true;
                    ++m_busy;
                    return {Task::Kind::Read, folder};
                }
            }
            while (!m_pending.empty()) {
                Folder* folder = m_pending.back();
                m_pending.pop_back();
                if (BelowAbandoned(*folder)) {
                    folder->state = Folder::State::Listed; // never reached by the hand-over
                    continue;
                }
                ++m_busy;
                return {Task::Kind::Open, folder};
            }
            if (m_busy == 0)
                return End();
            m_changed.wait(lock);
        }
    }

    Task End() {
        m_ended = true;
        m_changed.notify_all();
        return {};
    }

    // The helpers work while the pacer finds that they make the walk faster;
    // the first of them keeps the pacer, the others follow.
    void Help(bool leads) {
        if (!leads) {
            Lock lock(m_mutex);
            while (true) {
                m_changed.wait(lock, [this] { return m_ended || m_helpersWork; });
                if (m_ended)
                    return;
                lock.unlock();
                Work(true);
                lock.lock();
            }
        }
        HelperPacer pacer;
        HelperPacer::Period period = pacer.First();
        while (true) {
            const Clock::time_point start = Clock::now();
            const std::size_t before = m_progress.load(std::memory_order_relaxed);
            {
                Lock lock(m_mutex);
                if (m_ended)
                    return;
                m_helpersWork = period.helping;
                m_changed.notify_all();
                if (!period.helping)
                    m_changed.wait_until(lock, start + period.length, [this] { return m_ended; });
            }
            if (period.helping)
                Work(true, start + period.length);
            period = pacer.Next(period, m_progress.load(std::memory_order_relaxed) - before,
                                Clock::now() - start);
        }
    }

    Task TaskTheHandOverWaitsFor() {
        if (m_cursor.empty())
            return {};
        const Position& at = m_cursor.back();
        Folder& folder = *at.folder;
        if (folder.state == Folder::State::Pending) {
            const auto pending = std::find(m_pending.rbegin(), m_pending.rend(), &folder);
            if (pending == m_pending.rend())
                return {}; // being opened
            m_pending.erase(std::next(pending).base());
            ++m_busy;
            return {Task::Kind::Open, &folder};
        }
        if (folder.state == Folder::State::Open && !folder.reading && !folder.endReached &&
            !folder.abandoned) {
            folder.reading = true;
            ++m_busy;
            return {Task::Kind::Read, &folder};
        }
        return {};
    }

    void Open(Lock& lock, Folder& folder) {
        lock.unlock();
        bool walk = false;
        try {
            const bool isRoot = folder.parent == nullptr;
            folder.listing = FolderListing(folder.path, isRoot ? FolderListing::Links::Follow
                                                               : FolderListing::Links::NotFollow);
            folder.device = folder.listing.Device();
            folder.inode = folder.listing.Inode();
            folder.shared.SetIdentity(folder.device, folder.inode);
            walk = folder.listing.IsOpen() &&
                   (isRoot || !folder.listing.HasStoredHiddenOrSystemBit()) && !BelowItself(folder);
            if (walk && !isRoot && m_request.includeFolders)
                DescribeRow(folder);
        } catch (const std::exception&) {
        }
        // Without subfolders a folder below the root is only a row.
        const bool list = walk && (folder.parent == nullptr || m_request.includeSubfolders);
        if (!list)
            folder.listing.Close();
        lock.lock();
        folder.walkedInto = walk;
        if (list) {
            folder.state = Folder::State::Open;
            m_open.push_back(&folder);
        } else {
            folder.state = Folder::State::Listed;
        }
    }

    void DescribeRow(Folder& folder) const {
        DirEntry entry;
        if (!MatchesWildcard(folder.name, m_request.filter) ||
            !folder.listing.Describe(folder.name, entry))
            return;
        FillFolderRow(folder.row, std::move(entry), folder.parent->shared);
        folder.hasRow = true;
    }

    static bool BelowAbandoned(const Folder& folder) {
        for (const Folder* above = folder.parent; above; above = above->parent)
            if (above->abandoned)
                return true;
        return false;
    }

    // A folder that is one of its own ancestors (a mount below itself).
    static bool BelowItself(const Folder& folder) {
        for (const Folder* above = folder.parent; above; above = above->parent)
            if (above->device == folder.device && above->inode == folder.inode)
                return true;
        return false;
    }

    void ReadAndExamine(Lock& lock, Folder& folder, char* buffer) {
        lock.unlock();
        std::size_t bytes = 0;
        try {
            bytes = folder.listing.ReadChunk(buffer, kChunkBytes);
        } catch (const std::exception&) {
        }
        lock.lock();
        folder.reading = false;
        if (bytes == 0) {
            folder.endReached = true;
            m_open.erase(std::find(m_open.begin(), m_open.end(), &folder));
            FinishIfListed(lock, folder);
            return;
        }
        const std::size_t number = folder.chunks.size();
        folder.chunks.emplace_back();
        m_changed.notify_all(); // the next chunk may be read now

        lock.unlock();
        Chunk chunk;
        try {
            Examine(folder, buffer, bytes, chunk);
        } catch (const std::exception&) {
            // An error ends that folder's listing; its rows so far stay.
        }
        m_progress.fetch_add(bytes, std::memory_order_relaxed);
        lock.lock();
        chunk.examined = true;
        if (folder.abandoned || BelowAbandoned(folder))
            FileRows().swap(chunk.rows); // never handed over
        m_rowsWaiting += chunk.rows.size();
        folder.chunks[number] = std::move(chunk);
        ++folder.chunksExamined;
        FinishIfListed(lock, folder);
    }

    void Examine(const Folder& folder, const char* buffer, std::size_t bytes, Chunk& chunk) const {
        const int descriptor = folder.listing.Descriptor();
        const bool subfolders = m_request.includeSubfolders || m_request.includeFolders;
        chunk.rows.reserve(bytes / kTypicalEntryBytes);
        DirEntry entry;
        ForEachEntry(buffer, bytes, [&](const RawEntry& raw) {
            if (Stopped())
                return;
            switch (ExamineEntry(descriptor, raw, m_request.filter, subfolders, entry)) {
            case EntryKind::File: {
                FillFileRow(chunk.rows.emplace_back(), std::move(entry), folder.shared);
                break;
            }
            case EntryKind::Subfolder:
                // Without subfolders only a folder that is a row is opened.
                if (m_request.includeSubfolders || MatchesWildcard(raw.name, m_request.filter))
                    chunk.subfolders.emplace_back(raw.name);
                break;
            case EntryKind::Other:
                break;
            }
        });
    }

    // Once the last chunk is examined the folder's rows and subfolders are
    // known: they are put in name order, without the lock, as one chunk.
    void FinishIfListed(Lock& lock, Folder& folder) {
        if (folder.state != Folder::State::Open || !folder.endReached ||
            folder.chunksExamined != folder.chunks.size())
            return;
        folder.listing.Close();
        if (folder.abandoned) {
            folder.state = Folder::State::Listed;
            return;
        }
        folder.state = Folder::State::Sorting;
        std::vector<Chunk> chunks;
        chunks.swap(folder.chunks);
        lock.unlock();
        Chunk listed = InNameOrder(chunks);
        lock.lock();
        if (folder.abandoned || BelowAbandoned(folder)) {
            m_rowsWaiting -= listed.rows.size(); // dropped while it was sorted
            folder.state = Folder::State::Listed;
            return;
        }
        for (const std::string& name : listed.subfolders)
            folder.children.push_back(
                std::make_unique<Folder>(&folder, folder.path + name + "/", name));
        std::vector<std::string>().swap(listed.subfolders);
        folder.chunks.push_back(std::move(listed));
        folder.state = Folder::State::Listed;
        for (auto child = folder.children.rbegin(); child != folder.children.rend(); ++child)
            m_pending.push_back(child->get());
    }

    // A folder's chunks, in entry order, as one chunk in name order.
    static Chunk InNameOrder(std::vector<Chunk>& chunks) {
        Chunk all;
        all.examined = true;
        std::size_t rows = 0;
        for (const Chunk& chunk : chunks)
            rows += chunk.rows.size();
        all.rows.reserve(rows);
        for (Chunk& chunk : chunks) {
            std::move(chunk.rows.begin(), chunk.rows.end(), std::back_inserter(all.rows));
            std::move(chunk.subfolders.begin(), chunk.subfolders.end(),
                      std::back_inserter(all.subfolders));
            chunk = Chunk();
        }
        SortInNameOrder(all.rows);
        SortInNameOrder(all.subfolders);
        return all;
    }

    // Passes on every row whose turn has come. One thread at a time does it;
    // the rows go to the batcher without the lock held.
    void HandOver(Lock& lock) {
        if (m_handingOver)
            return;
        m_handingOver = true;
        while (!Stopped() && !m_cursor.empty()) {
            Position& at = m_cursor.back();
            Folder& folder = *at.folder;
            if (!at.entered) {
                if (folder.state == Folder::State::Pending)
                    break;
                // The single-thread walk lists a folder it reaches twice only
                // the first time, and nothing below it the second.
                if (folder.walkedInto && !m_visited.emplace(folder.device, folder.inode).second) {
                    folder.abandoned = true;
                    DropRows(folder);
                }
                if (!folder.walkedInto || folder.abandoned) {
                    m_cursor.pop_back();
                    continue;
                }
                at.entered = true;
                if (folder.hasRow) {
                    FileRows rows;
                    rows.push_back(std::move(folder.row));
                    folder.hasRow = false;
                    lock.unlock();
                    Pass(rows);
                    lock.lock();
                }
            }
            if (folder.state != Folder::State::Listed)
                break;
            if (at.nextChunk < folder.chunks.size()) {
                Chunk& chunk = folder.chunks[at.nextChunk];
                if (!chunk.examined)
                    break;
                ++at.nextChunk;
                FileRows rows = std::move(chunk.rows);
                m_rowsWaiting -= rows.size();
                lock.unlock();
                Pass(rows);
                lock.lock();
                m_changed.notify_all(); // there may be room to work ahead again
                continue;
            }
            if (at.nextChild < folder.children.size()) {
                Folder* child = folder.children[at.nextChild++].get();
                m_cursor.push_back({child});
                continue;
            }
            ReleaseChildren(folder);
            m_cursor.pop_back();
        }
        m_handingOver = false;
    }

    // The rows of an abandoned folder and of everything below it.
    void DropRows(Folder& folder) {
        for (Chunk& chunk : folder.chunks) {
            m_rowsWaiting -= chunk.rows.size();
            FileRows().swap(chunk.rows);
        }
        for (const std::unique_ptr<Folder>& child : folder.children)
            DropRows(*child);
    }

    // Everything below a folder the hand-over has left is done with, except
    // an abandoned folder: threads may still be reading it, so it stays until
    // the walk ends.
    void ReleaseChildren(Folder& folder) {
        std::vector<Chunk>().swap(folder.chunks);
        for (std::unique_ptr<Folder>& child : folder.children)
            if (child->abandoned)
                m_abandoned.push_back(std::move(child));
        std::vector<std::unique_ptr<Folder>>().swap(folder.children);
    }

    void Pass(FileRows& rows) {
        for (FileRow& row : rows) {
            if (Stopped())
                return;
            m_batcher.Add(std::move(row));
        }
    }

    static constexpr std::size_t kChunkBytes = std::size_t{32} * 1024;
    static constexpr std::size_t kTypicalEntryBytes =
        40; // a raw entry with a name of about 20 bytes

    const ScanRequest& m_request;
    const std::atomic<bool>& m_stop;
    RowBatcher& m_batcher;
    const unsigned m_threads;
    // Helpers work only while they pay (HelperPacer); a number of threads
    // asked for walks on all of them.
    const bool m_paced;
    // Rows examined but not yet handed over, and how many may be.
    std::size_t m_rowsWaiting = 0;
    const std::size_t m_rowsAheadLimit;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::unique_ptr<Folder> m_root;
    std::vector<Folder*> m_pending;         // to be opened; the next one last
    std::vector<Folder*> m_open;            // open with chunks left to read, earliest first
    std::size_t m_busy = 0;                 // tasks under way
    bool m_ended = false;                   // no task is left, or the walk was stopped
    bool m_helpersWork = false;             // the helpers may take tasks
    std::atomic<std::size_t> m_progress{0}; // bytes of entries examined
    std::vector<Position> m_cursor;         // the hand-over's path from the root
    bool m_handingOver = false;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_visited;
    std::vector<std::unique_ptr<Folder>> m_abandoned;
};

} // namespace

void WalkInParallel(const ScanRequest& request, const std::atomic<bool>& stop, RowBatcher& batcher,
                    const ScanOptions& options) {
    ParallelWalk(request, stop, batcher, options).Run();
}

} // namespace quorvane
