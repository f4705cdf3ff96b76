#pragma once
// What a name may be when a run gives it to a file. The planner (and so
// Preview's conflict notes) and the runs ask the same questions here, so a
// name Preview lets through is never refused by Apply for a reason Preview
// did not show.

#include <string>
#include <string_view>

namespace quorvane {

enum class NameRefusal {
    None,
    NotAnEntry,   // empty, "." or "..", or holds "/" or a NUL byte
    ControlByte,  // a byte 1 to 31 or 127
    FatCharacter, // a character FAT refuses, or a trailing dot or blank
    DeviceName,   // CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension
};

// True when the name may stand as one entry of a folder: not empty, no "/",
// no NUL byte, not "." or "..".
bool IsValidEntryName(std::string_view name);

// The first reason the name cannot be given on a folder of this kind.
// Control bytes are refused everywhere: a tab or line break in a name, often
// from tag text, breaks listings and scripts, and the user would not see it
// in the list. Device names only trouble FAT-like volumes, where the systems
// that read such volumes open the device instead of the file.
NameRefusal NewNameRefusal(std::string_view name, bool fatLike);

// A name a run may give on any folder: NewNameRefusal(name, false) is None.
bool IsAcceptableNewName(std::string_view name);

// The text with its control bytes written as escapes ("\t", "\n", "\r",
// else "\x" and two hex digits), so a name with a line break stays on one
// line of a log and shows what it holds.
std::string EscapedControlBytes(std::string_view text);

} // namespace quorvane
