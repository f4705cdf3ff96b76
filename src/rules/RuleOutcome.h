#pragma once
// What a rule changes on its page besides the names: an empty box is filled
// with its default text before it is read, and the window shows that text.

#include <string>
#include <vector>

namespace quorvane {

struct ControlRefill {
    std::string control; // objectName of the box: "meindex", "edtCount", "meStartFrom", ...
    std::string text;    // the text the box now holds
};

struct RuleOutcome {
    std::vector<ControlRefill> refills;
    // The numeric serial found no "Apply to" item chosen and used "FileName":
    // the window sets CBApplyTo to index 0.
    bool applyToSetToFileName = false;
};

} // namespace quorvane
