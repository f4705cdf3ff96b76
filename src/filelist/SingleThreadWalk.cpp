#include "filelist/ScanWalks.h"

#include "filelist/EntryRow.h"
#include "filelist/RowOrder.h"
#include "platform/DirectorySearch.h"
#include "platform/LargeBlocks.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

// The walk on one thread, folder by folder: the files of a folder through
// one listing, its subfolders through a second. Each folder is listed at most
// once, so a folder mounted below itself cannot make the walk endless and no
// file is listed twice through two paths. The parallel walk must give exactly
// its rows.
class SingleThreadWalk {
public:
    SingleThreadWalk(const ScanRequest& request, const std::atomic<bool>& stop, RowBatcher& batcher)
        : m_request(request), m_stop(stop), m_batcher(batcher) {}

    void Run() {
        const std::string& root = m_request.folder;
        if (root.empty() || !FirstVisit(root))
            return;
        ListFiles(root);
        if (Stopped())
            return;
        if (m_request.includeSubfolders) {
            WalkSubfolders(root);
        } else if (m_request.includeFolders) {
            for (const std::string& folder : SubfoldersOf(root))
                if (!Stopped() && FirstVisit(folder))
                    AddFolderRow(folder);
        }
    }

private:
    bool Stopped() const { return m_stop.load(std::memory_order_relaxed); }

    bool FirstVisit(const std::string& folder) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0)
            return false;
        return m_visited.emplace(st.st_dev, st.st_ino).second;
    }

    // An error while listing a folder ends that folder only; the rows it
    // gave so far are handed over, in name order like the rest.
    void ListFiles(const std::string& folder) {
        FileRows rows;
        try {
            FolderPath shared(folder);
            struct stat st {};
            if (::stat(folder.c_str(), &st) == 0)
                shared.SetIdentity(st.st_dev, st.st_ino);
            if (m_request.includeFolders)
                m_folders.emplace(folder, shared);
            DirectorySearch search(folder, m_request.filter, SearchMode::Files);
            // One stat per file and nothing else: the stored Samba bits would
            // cost a second call per file; the list reads them for drawn rows.
            search.SetReadStoredAttributes(false);
            DirEntry entry;
            while (!Stopped() && search.Next(entry)) {
                FillFileRow(rows.emplace_back(), std::move(entry), shared);
            }
        } catch (const std::exception&) {
        }
        SortInNameOrder(rows);
        for (FileRow& row : rows) {
            if (Stopped())
                return;
            m_batcher.Add(std::move(row));
        }
    }

    // The folder's own row, when it is one: opened the way the parallel walk
    // opens it, so both describe it alike.
    void AddFolderRow(const std::string& folder) {
        const std::size_t slash = folder.rfind('/', folder.size() - 2);
        const std::string name = folder.substr(slash + 1, folder.size() - slash - 2);
        if (!m_request.includeFolders || !MatchesWildcard(name, m_request.filter))
            return;
        const FolderListing listing(folder, FolderListing::Links::NotFollow);
        DirEntry entry;
        if (!listing.Describe(name, entry))
            return;
        const auto parent = m_folders.find(folder.substr(0, slash + 1));
        FileRow row;
        FillFolderRow(row, std::move(entry),
                      parent != m_folders.end() ? parent->second
                                                : FolderPath(folder.substr(0, slash + 1)));
        m_batcher.Add(std::move(row));
    }

    std::vector<std::string> SubfoldersOf(const std::string& folder) {
        std::vector<std::string> names;
        try {
            DirectorySearch search(folder, "*.*", SearchMode::Folders);
            DirEntry entry;
            while (!Stopped() && search.Next(entry))
                names.push_back(std::move(entry.name));
        } catch (const std::exception&) {
        }
        SortInNameOrder(names);
        for (std::string& name : names)
            name = folder + name + "/";
        return names;
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
            AddFolderRow(folder);
            ListFiles(folder);
            if (!Stopped())
                stack.push_back({SubfoldersOf(folder)});
        }
    }

    const ScanRequest& m_request;
    const std::atomic<bool>& m_stop;
    RowBatcher& m_batcher;
    std::set<std::pair<dev_t, ino_t>> m_visited;
    // Each listed folder's shared path, for the rows of the folders in it.
    std::map<std::string, FolderPath> m_folders;
};

} // namespace

void WalkOnOneThread(const ScanRequest& request, const std::atomic<bool>& stop,
                     RowBatcher& batcher) {
    SingleThreadWalk(request, stop, batcher).Run();
}

} // namespace quorvane
