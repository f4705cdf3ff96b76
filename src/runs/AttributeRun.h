#pragma once
// The attribute and time-stamp run of the "Attributes" page.

#include "rules/FileRow.h"
#include "runs/RunFileSystem.h"
#include "runs/RunResult.h"

#include <cstdint>
#include <string>

namespace quorvane {

// The page's choices, read from its controls when Apply runs.
struct AttributeRunSettings {
    bool changeAttributes = false;
    std::uint32_t attributes = 0; // the whole word that replaces each file's attributes
    bool changeTimeStamp = false;
    std::uint32_t packedTimeStamp = 0; // DOS packed local date and time; 0 = none
};

// Sets the access and modification times of one file; true when they were set.
bool SetFileTimeStamp(RunFileSystem& fileSystem, const std::string& path,
                      std::uint32_t packedLocal);

// Changes the time stamps and/or attributes of the selected rows (all rows when
// none is selected, which selects them). The time stamp comes first, so a file
// the same run makes read-only still gets it; a file that is read-only already
// has the bit lifted only for the moment of the time-stamp change. Every failed
// change counts its file as failed and adds a log line.
RunResult ChangeAttributes(FileRows& rows, const AttributeRunSettings& settings,
                           RunFileSystem& fileSystem, const RunProgress& progress = {});

std::string AttributeFailureLine(const std::string& file);
std::string TimeStampFailureLine(const std::string& file);

} // namespace quorvane
