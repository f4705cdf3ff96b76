#include "rules/NameLines.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

struct Row {
    std::string original;
    std::string newName;
};

// What "OK" does with a text: the count check, then line i to row i.
std::pair<std::string, std::vector<std::string>> GiveLines(const std::vector<Row>& rows,
                                                           const std::string& text) {
    const std::vector<std::string> lines = SplitLines(text);
    std::string warning = LineCountWarning(lines.size(), rows.size());
    std::vector<std::string> names;
    if (!warning.empty())
        return {warning, names};
    for (std::size_t i = 0; i < rows.size(); ++i)
        names.push_back(NewNameFromLine(rows[i].original, rows[i].newName, lines[i]));
    return {warning, names};
}

std::string TextOf(const std::vector<Row>& rows) {
    std::vector<std::string> lines;
    for (const Row& row : rows)
        lines.push_back(LineOfRow(row.original, row.newName));
    return JoinLines(lines);
}

TEST(NameLines, LinesBecomeTheRowsNewNames) {
    const std::string latin1 = "caf\xE9.txt"; // not UTF-8
    const std::string shownLatin1 = "caf\xEF\xBF\xBD.txt";
    struct Case {
        const char* what;
        std::vector<Row> rows;
        std::string text; // empty: the rows' own text, unchanged
        std::string warning;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"typed names, LF", {{"a", ""}, {"b", ""}}, "x\ny\n", "", {"x", "y"}},
        {"CR LF from a spreadsheet", {{"a", ""}, {"b", ""}}, "x\r\ny\r\n", "", {"x", "y"}},
        {"no line end at the end", {{"a", ""}, {"b", ""}}, "x\ny", "", {"x", "y"}},
        {"byte order mark", {{"a", ""}}, "\xEF\xBB\xBFx\n", "", {"x"}},
        {"UTF-8 kept", {{"a", ""}}, "\xC3\xA9t\xC3\xA9.txt", "", {"\xC3\xA9t\xC3\xA9.txt"}},
        {"unchanged text keeps every name", {{"a", "p"}, {"b", ""}}, "", "", {"p", ""}},
        {"the original name back empties", {{"a", "p"}}, "a\n", "", {""}},
        {"an empty line empties", {{"a", "p"}, {"b", "q"}}, "\nq\n", "", {"", "q"}},
        {"a CR inside a line is kept", {{"a", ""}}, "x\ry\n", "", {"x\ry"}},
        {"not UTF-8, unchanged", {{latin1, ""}}, "", "", {""}},
        {"not UTF-8, its new name unchanged", {{latin1, "n\xE9w"}}, "", "", {"n\xE9w"}},
        {"not UTF-8, shown original typed over a new name", {{latin1, "n"}}, shownLatin1, "", {""}},
        {"not UTF-8, changed line", {{latin1, ""}}, "cafe.txt", "", {"cafe.txt"}},
        {"a line end inside a name", {{"a\nb", ""}, {"c", ""}}, "", "", {"", ""}},
        {"too few lines",
         {{"a", ""}, {"b", ""}, {"c", ""}},
         "x\ny\n",
         "The text has 2 lines for 3 files.",
         {}},
        {"too many lines", {{"a", ""}}, "x\ny\n\n", "The text has 3 lines for 1 files.", {}},
        {"an empty text for one row", {{"a", ""}}, "\n", "", {""}},
        {"blanks are kept", {{"a", ""}}, " x \n", "", {" x "}},
        {"no text, no rows", {}, "", "", {}},
    };
    for (const Case& c : cases) {
        const std::string text = c.text.empty() ? TextOf(c.rows) : c.text;
        const auto [warning, names] = GiveLines(c.rows, text);
        EXPECT_EQ(warning, c.warning) << c.what;
        EXPECT_EQ(names, c.names) << c.what;
    }
}

} // namespace
} // namespace quorvane
