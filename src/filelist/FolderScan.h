#pragma once
// The folder scan: walks a folder (and, if asked, its subfolders) on a worker
// thread and hands the matching files over as rows of the renaming list.
//
// Row order: the matching files of the root folder in the directory's own
// order, then for each subfolder in turn its own files followed by those of its
// subfolders (depth first, pre-order). Hidden and system subfolders are not
// walked; hidden and system files inside walked folders are listed. Each file
// is stat'ed once; its row carries what that stat gave.
//
// The walk runs on several threads: they share the chunks of raw entries of
// each folder (one reads the next chunk while the others stat the entries of
// the ones before) and list several folders at once, and the rows are put
// back into walk order before they are handed over. A FolderScan makes the
// process return large blocks to the system when they are freed
// (platform/LargeBlocks.h).
//
// Usage (the sink and the done handler run on one of the walk's threads, never
// two at once):
//
//     FolderScan scan([&](FileRows&& batch) { ... keep or forward the batch ... },
//                     [&] { ... the walk has ended ... });
//     scan.Start({"/home/me/music/", "*.mp3", true});
//     ...
//     scan.RequestStop();   // optional: cancel, the walk ends after the current file
//     scan.Wait();          // or let the destructor stop and join it

#include "rules/FileRow.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

namespace quorvane {

struct ScanRequest {
    std::string folder; // ends in "/"; empty means there is nothing to walk
    std::string filter; // one wildcard pattern ("*", "?"), used as given; empty matches nothing
    bool includeSubfolders = false;
    // Folders whose names match the filter are rows too, each just before
    // the rows inside it; folders the walk leaves out (hidden, links) are not.
    bool includeFolders = false;
};

struct ScanOptions {
    // A batch is handed over when it is this old or this large, whichever
    // comes first, and once more at the end of the walk. Every batch makes the
    // list lay out and repaint; 50 ms keeps the count and the list growing
    // visibly while the window spends a fraction of the time on it.
    std::chrono::milliseconds batchInterval{50};
    // Large enough that a fast walk hands over a few batches per interval
    // rather than dozens (the window appends this many rows in about a
    // millisecond), small enough that the batches on their way hold little
    // memory. The walk works at most twice this many rows ahead of what it
    // has handed over.
    std::size_t maxBatchRows = 8192;
    // Threads that walk; 0 means one per core, at most four. Any number gives
    // the same rows in the same order.
    unsigned threads = 0;
    // The plain walk on the one worker thread, two listings of every folder
    // through DirectorySearch: the parallel walk must agree with it, and the
    // tests compare the two.
    bool singleThreadWalk = false;
};

class FolderScan {
public:
    // Receives the next rows in walk order; never called with an empty batch.
    // Once a stop is requested it is called at most once more, with the rows
    // gathered before the request.
    using BatchSink = std::function<void(FileRows&& batch)>;
    // Called once at the end of every started walk (complete, stopped or
    // failed), after the last batch.
    using DoneHandler = std::function<void()>;

    FolderScan(BatchSink sink, DoneHandler done, ScanOptions options = {});
    // Stops a running walk and waits for it; its done handler still runs.
    ~FolderScan();
    FolderScan(const FolderScan&) = delete;
    FolderScan& operator=(const FolderScan&) = delete;

    // Starts a walk on a new worker thread. Refused (false) while an earlier
    // walk has not yet returned from its done handler.
    bool Start(ScanRequest request);
    // Asks the walk to end after the file at hand; safe from any thread,
    // including from the sink.
    void RequestStop();
    // Waits until the worker has finished. Not to be called from the sink or
    // the done handler.
    void Wait();
    bool IsRunning() const { return m_running.load(); }

private:
    void Run(const ScanRequest& request);

    BatchSink m_sink;
    DoneHandler m_done;
    ScanOptions m_options;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_running{false};
    std::jthread m_worker; // last member: joined before the others go away
};

// The folder of a scan request: "/" appended unless the path already ends in
// one; an empty path stays empty.
std::string WithTrailingSlash(std::string folder);

} // namespace quorvane
