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

RunResult ChangeAttributes(FileRows& rows, const AttributeRunSettings& settings,
                           RunFileSystem& fileSystem, const RunProgress& progress) {
    RunResult result;
    result.selectedAtStart = SelectAllWhenNoneSelected(rows);
    VisitRunRows(rows, RunOrder::FirstToLast, progress, result, [&](FileRow& row) {
        if (!row.selected)
            return;
        const std::string file = row.FullPath();
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
