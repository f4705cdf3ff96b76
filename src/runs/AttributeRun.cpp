#include "runs/AttributeRun.h"

#include "platform/DirectorySearch.h"
#include "runs/RunLoop.h"

namespace quorvane {
namespace {

struct StampOutcome {
    bool stamped = false;
    bool attributesKept = true; // false when a lifted read-only bit could not be put back
};

StampOutcome StampFile(RunFileSystem& fileSystem, const std::string& file, std::uint32_t packed) {
    const std::optional<std::uint32_t> attributes = fileSystem.ReadAttributes(file);
    // An unreadable file is left alone: writing back a guessed word could only
    // damage it.
    if (!attributes)
        return {};
    if ((*attributes & kAttrReadOnly) == 0)
        return {SetFileTimeStamp(fileSystem, file, packed)};
    if (fileSystem.WriteAttributes(file, *attributes & ~kAttrReadOnly) != 0)
        return {};
    StampOutcome outcome{SetFileTimeStamp(fileSystem, file, packed)};
    outcome.attributesKept = fileSystem.WriteAttributes(file, *attributes) == 0;
    return outcome;
}

// A link is changed as itself: its time stamps are set on the link, and its
// attribute bits cannot be (Linux keeps no mode for a link), so that change
// fails. Nothing reaches the file it points to, which may lie outside the
// listed folder.
bool ChangeLink(const FileRow& row, const std::string& file, const AttributeRunSettings& settings,
                RunFileSystem& fileSystem, std::vector<std::string>& log);

} // namespace

std::string AttributeFailureLine(const std::string& file) {
    return file + "Error occurs when setting the  attributes of files";
}

std::string TimeStampFailureLine(const std::string& file) {
    return "Error occurs when setting the time stamp of " + file;
}

bool SetFileTimeStamp(RunFileSystem& fileSystem, const std::string& path,
                      std::uint32_t packedLocal) {
    return fileSystem.SetTimeStamp(path, packedLocal) == 0;
}

namespace {

bool ChangeLink(const FileRow&, const std::string& file, const AttributeRunSettings& settings,
                RunFileSystem& fileSystem, std::vector<std::string>& log) {
    bool allWell = true;
    if (settings.changeTimeStamp &&
        fileSystem.SetLinkTimeStamp(file, settings.packedTimeStamp) != 0) {
        allWell = false;
        log.push_back(TimeStampFailureLine(file));
    }
    if (settings.changeAttributes) {
        allWell = false;
        log.push_back(AttributeFailureLine(file));
    }
    return allWell;
}

} // namespace

RunResult ChangeAttributes(FileRows& rows, const AttributeRunSettings& settings,
                           RunFileSystem& fileSystem, const RunProgress& progress) {
    RunResult result;
    result.selectedAtStart = SelectAllWhenNoneSelected(rows);
    const RunScope scope(fileSystem);
    ExpectScannedFolders(rows, fileSystem);
    VisitRunRows(rows, RunOrder::FirstToLast, progress, result, [&](FileRow& row) {
        if (!row.selected)
            return;
        const std::string file = row.FullPath();
        // A link's identity is that of the file it points to; the link itself
        // is changed through its checked folder.
        if (!row.symbolicLink && row.inode != 0)
            fileSystem.ExpectFile(file, {row.device, row.inode});
        if (row.symbolicLink) {
            result.failedFiles += ChangeLink(row, file, settings, fileSystem, result.log) ? 0 : 1;
            return;
        }
        bool failed = false;
        if (settings.changeTimeStamp) {
            const StampOutcome outcome = StampFile(fileSystem, file, settings.packedTimeStamp);
            if (!outcome.stamped)
                result.log.push_back(TimeStampFailureLine(file));
            // A file left writable is a change the user never asked for.
            if (!outcome.attributesKept)
                result.log.push_back(AttributeFailureLine(file));
            failed = !outcome.stamped || !outcome.attributesKept;
        }
        if (settings.changeAttributes &&
            fileSystem.WriteAttributes(file, settings.attributes) != 0) {
            failed = true;
            result.log.push_back(AttributeFailureLine(file));
        }
        result.failedFiles += failed ? 1 : 0;
    });
    return result;
}

} // namespace quorvane
