#pragma once
// "Log.txt", the failures of the last run, and the summary the window shows.

#include "runs/RunResult.h"

#include <string>
#include <vector>

namespace quorvane {

// Where "Log.txt" lies: RunLogFilePath (platform/Paths.h).

// Rewrites the file from the start: each line ended by CR LF, control bytes
// in it escaped, zero bytes when there is no line. The file is opened as one
// of the program's own (platform/PrivateFile.h) and kept 0600. Returns 0 or
// the errno value of the failed step.
[[nodiscard]] int WriteRunLog(const std::string& path, const std::vector<std::string>& lines);

enum class RunKind { Rename, Undo, Attributes };

// The text of the summary box; lines are joined with a carriage return. A
// history that could not be written, and `logNote` (why "Log.txt" could not
// be written), each add a line.
std::string RunSummaryText(RunKind kind, const RunResult& result, const std::string& logNote = {});

} // namespace quorvane
