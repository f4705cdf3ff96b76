#include "rules/CommandAvailability.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

// The cycle from a scan to the next as the user walks it, on a rule page, on
// the attributes page and by the MP3 panel; each row says which commands the
// window offers then.
TEST(CommandAvailability, TruthTable) {
    constexpr RulePage kCase = RulePage::Case;
    constexpr RulePage kAttr = RulePage::Attributes;
    struct Case {
        const char* when;
        CycleFacts facts;
        CommandAvailability expected;
    };
    // facts: previewed, applied, page, MP3 panel, rows, selected, scanning
    // expected: preview, apply, undo, refresh, select, delete
    const Case cases[] = {
        {"empty list",
         {false, false, kCase, false, 0, 0, false},
         {false, false, false, true, false, false}},
        {"scan starting",
         {false, false, kCase, false, 0, 0, true},
         {false, false, false, false, false, false}},
        {"rows arriving",
         {false, false, kCase, false, 5, 0, true},
         {false, false, false, false, true, false}},
        {"listed",
         {false, false, kCase, false, 5, 0, false},
         {true, false, false, true, true, false}},
        {"listed, rows selected",
         {false, false, kCase, false, 5, 2, false},
         {true, false, false, true, true, true}},
        {"previewed",
         {true, false, kCase, false, 5, 5, false},
         {true, true, false, true, true, true}},
        {"previewed, empty list",
         {true, false, kCase, false, 0, 0, false},
         {false, true, false, true, false, false}},
        {"applied",
         {true, true, kCase, false, 5, 5, false},
         {false, false, true, true, true, true}},
        {"applied, then attributes page",
         {true, true, kAttr, false, 5, 5, false},
         {false, true, false, true, true, true}},
        {"attributes page, listed",
         {false, false, kAttr, false, 5, 0, false},
         {false, true, false, true, true, false}},
        {"attributes page, empty",
         {false, false, kAttr, false, 0, 0, false},
         {false, false, false, true, false, false}},
        {"attributes page, rows arriving",
         {false, false, kAttr, false, 5, 0, true},
         {false, true, false, false, true, false}},
        {"attributes page, previewed before",
         {true, false, kAttr, false, 5, 5, false},
         {false, true, false, true, true, true}},
        {"MP3 panel over the attributes page, listed",
         {false, false, kAttr, true, 5, 0, false},
         {true, false, false, true, true, false}},
        {"MP3 panel, previewed",
         {true, false, kAttr, true, 5, 3, false},
         {true, true, false, true, true, true}},
        {"MP3 panel, applied",
         {true, true, kAttr, true, 5, 3, false},
         {false, false, true, true, true, true}},
        {"MP3 panel, empty",
         {true, false, kCase, true, 0, 0, false},
         {false, true, false, true, false, false}},
    };
    for (const Case& c : cases) {
        const CommandAvailability got = AvailableCommands(c.facts);
        const auto flags = [](const CommandAvailability& a) {
            return std::string{a.preview ? 'P' : '-', a.apply ? 'A' : '-',
                               a.undo ? 'U' : '-',    a.refresh ? 'R' : '-',
                               a.select ? 'S' : '-',  a.deleteFiles ? 'D' : '-'};
        };
        EXPECT_EQ(flags(got), flags(c.expected)) << c.when;
    }
}

} // namespace
} // namespace quorvane
