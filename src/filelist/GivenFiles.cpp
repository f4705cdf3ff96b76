#include "filelist/GivenFiles.h"

#include "filelist/EntryRow.h"
#include "filelist/RowOrder.h"
#include "platform/DirectorySearch.h"

#include <mutex>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>

namespace quorvane {
namespace {

std::string FullPathOf(const FileRow& row) {
    return row.folder ? row.FullPath() : row.originalName;
}

// A folder's shared path, with the identity a run checks before it renames there.
FolderPath NewFolderPath(const std::string& folder) {
    FolderPath shared(folder);
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0)
        shared.SetIdentity(st.st_dev, st.st_ino);
    return shared;
}

// One FolderPath per folder text, so a plan sees the rows of a folder as one
// folder (found first among the listed rows).
class FolderPaths {
public:
    explicit FolderPaths(const FileRows& listed) {
        for (const FileRow& row : listed)
            if (row.folder)
                m_paths.try_emplace(*row.folder, row.folder);
    }
    const FolderPath& Of(const std::string& folder) {
        auto found = m_paths.find(folder);
        if (found == m_paths.end())
            found = m_paths.emplace(folder, NewFolderPath(folder)).first;
        return found->second;
    }

private:
    std::unordered_map<std::string, FolderPath> m_paths;
};

// The files of a folder as a scan lists them, waited for here.
FileRows ScanFolder(const std::string& folder, const ScanRequest& like) {
    FileRows rows;
    std::mutex mutex;
    FolderScan scan(
        [&](FileRows&& batch) {
            const std::lock_guard lock(mutex);
            for (FileRow& row : batch)
                rows.push_back(std::move(row));
        },
        [] {});
    if (scan.Start({WithTrailingSlash(folder), like.filter, like.includeSubfolders}))
        scan.Wait(); // joins the walk: the rows are all here
    return rows;
}

// Splits a path into its folder (ending in "/") and its name.
std::pair<std::string, std::string> FolderAndName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {"./", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// One file, stat'ed as the scan stats a listed one; nothing for what is not
// a regular file (or a link to one).
bool ExamineFile(const std::string& path, DirEntry& entry) {
    const auto [folder, name] = FolderAndName(path);
    if (name.empty())
        return false;
    const FolderListing listing(folder, FolderListing::Links::Follow);
    if (!listing.IsOpen())
        return false;
    return ExamineEntry(listing.Descriptor(), RawEntry{name.c_str(), DT_UNKNOWN}, "*", false,
                        entry) == EntryKind::File;
}

// Keeps the rows whose path is new, giving each the folder's one FolderPath.
void AddNew(FileRows& rows, FolderPaths& folders, std::unordered_set<std::string>& seen,
            FileRows& into) {
    for (FileRow& row : rows) {
        if (!row.folder || !seen.insert(FullPathOf(row)).second)
            continue;
        row.folder = folders.Of(*row.folder);
        into.push_back(std::move(row));
    }
}

} // namespace

void GivenFiles::Clear() {
    m_files.clear();
    m_folders.clear();
    m_active = false;
}

void GivenFiles::AddListedFolder(const std::string& folder) {
    m_active = true;
    m_folders.push_back(WithTrailingSlash(folder));
}

FileRows GivenFiles::Add(const std::vector<std::string>& paths, const ScanRequest& like,
                         const FileRows& listed) {
    m_active = true;
    FolderPaths folders(listed);
    std::unordered_set<std::string> seen;
    for (const FileRow& row : listed)
        seen.insert(FullPathOf(row));
    FileRows added;
    for (const std::string& path : paths) {
        struct stat st {};
        if (path.empty() || ::stat(path.c_str(), &st) != 0)
            continue;
        FileRows found;
        if (S_ISDIR(st.st_mode)) {
            const std::string folder = WithTrailingSlash(path);
            m_folders.push_back(folder);
            found = ScanFolder(folder, like);
        } else {
            DirEntry entry;
            if (!ExamineFile(path, entry))
                continue;
            const std::string folder = FolderAndName(path).first;
            m_files[folder].emplace(entry.device, entry.inode);
            FillFileRow(found.emplace_back(), std::move(entry), folders.Of(folder));
        }
        AddNew(found, folders, seen, added);
    }
    return added;
}

FileRows GivenFiles::Reread(const ScanRequest& like) const {
    const FileRows none;
    FolderPaths folders(none);
    std::unordered_set<std::string> seen;
    FileRows rows;
    for (const auto& [folder, identities] : m_files) {
        FileRows found;
        DirectorySearch search(folder, "*", SearchMode::Files);
        search.SetReadStoredAttributes(false);
        DirEntry entry;
        while (search.Next(entry))
            if (identities.count({entry.device, entry.inode}))
                FillFileRow(found.emplace_back(), std::move(entry), folders.Of(folder));
        SortInNameOrder(found);
        AddNew(found, folders, seen, rows);
    }
    for (const std::string& folder : m_folders) {
        FileRows found = ScanFolder(folder, like);
        AddNew(found, folders, seen, rows);
    }
    return rows;
}

std::string SharedFolder(const FileRows& rows) {
    if (rows.empty() || !rows.front().folder)
        return {};
    const std::string& first = *rows.front().folder;
    for (const FileRow& row : rows)
        if (!row.folder || *row.folder != first)
            return {};
    return first;
}

} // namespace quorvane
