#pragma once
// New names as lines of text: one line per row, as the user edits them by
// hand in the list or all at once in a text box, or loads them from a file.
//
// A text box holds well-formed UTF-8 only, and one line cannot hold a line
// end, while a name on disk is any bytes. So each row is shown by a line that
// stands for its name (ShownName), and a line the user left as it was keeps
// the row's name exactly, bytes and all: only a changed line is taken as the
// new name.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The name as a line shows it: well-formed UTF-8 as it is; each byte that
// starts no well-formed character, and each line end byte (LF, CR), as
// U+FFFD.
std::string ShownName(std::string_view name);

// The line of a row: its new name, or its original name when it has none.
std::string LineOfRow(const std::string& originalName, const std::string& newName);

// The row's new name once its line reads `line`: empty for an empty line or
// the original name (the row keeps its name); the row's new name when the
// line is still the row's own line; otherwise the line.
std::string NewNameFromLine(const std::string& originalName, const std::string& newName,
                            const std::string& line);

// The lines of a text, split at LF and CR LF. A line end at the very end
// closes the last line rather than opening an empty one; a UTF-8 byte order
// mark at the start (spreadsheets write one) belongs to no line.
std::vector<std::string> SplitLines(std::string_view text);

// The lines as a text file: each line followed by LF.
std::string JoinLines(const std::vector<std::string>& lines);

// "The text has N lines for M files." when the counts differ; empty when
// every row has its line.
std::string LineCountWarning(std::size_t lines, std::size_t rows);

} // namespace quorvane
