#pragma once
// Builds new names for MP3 files from their tags: a format with
// placeholders, then the case, number and space options, then ".mp3".

#include "mp3/Mp3TagReader.h"
#include "mp3/TID3v1.h"
#include "rules/FileRow.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quorvane {

// Item indexes of the option lists, in the order the panel shows them.
// -1 is "no item chosen" (nothing is done then).
enum Mp3CaseItem : int {
    kMp3CaseCapitalize = 0, // "Capitalize First Letters"
    kMp3CaseUpper = 1,      // "ALL UPPER CASE"
    kMp3CaseLower = 2,      // "all lower case"
};
enum Mp3SpaceItem : int {
    kMp3SpaceHyphen = 0,     // "Replace with Hyphen "
    kMp3SpaceUnderscore = 1, // "Replace with underscores"
    kMp3SpaceDelete = 2,     // "Delete Spaces"
};

// The MP3 panel's controls as the window reads them when Preview runs.
struct Mp3NameSettings {
    std::string format = "%1 %3 %2"; // cbFormat text
    bool caseOn = false;             // ChkCase ticked
    int caseIndex = -1;              // cbCase current index
    bool numberOn = false;           // chkAddPre ticked
    std::string numberText = "001";  // cbEmulation text: first number and width
    bool spaceOn = false;            // ChkSpace ticked
    int spaceIndex = -1;             // cbSpace current index
    // "Read ID3v2 tags" ticked: a file's ID3v2 tag wins over its ID3v1 block.
    // Clear, only the ID3v1 block is read.
    bool readId3v2 = true;
};

struct Mp3PreviewResult {
    bool previewed = true;    // the window sets its Previewed mark from this
    std::size_t selected = 0; // rows selected afterwards ("Selectd files : N")
    std::size_t untagged = 0; // rows deselected: unreadable or without a tag
    // Rows left selected but without a name because ID3v2 text they would use
    // holds a control character (a line break in a comment, say).
    std::size_t refusedTagText = 0;
};

// Clears every new name, selects all rows when none is selected, reads the tags
// of each selected row (the ID3v1 block through `reader`), deselects rows
// without a readable tag and gives the others a name ending in ".mp3" (none
// when the built name is empty, so Apply leaves the file alone). Files are
// only read.
Mp3PreviewResult PreviewMp3Names(FileRows& rows, const Mp3NameSettings& settings, TID3v1& reader);

// The parts of the preview, for the window's own use and for tests.
// Expands the placeholders of `format` from the tag; literal text is dropped and
// "-" joins the non-empty expansions. Tag text is converted to UTF-8.
std::string ExpandMp3Format(const std::string& format, const TID3v1& tag,
                            const std::string& originalName);
// The same from fields that are UTF-8 already (an ID3v2 tag).
std::string ExpandMp3Format(const std::string& format, const Mp3TagFields& fields,
                            const std::string& originalName);
// True when a tag field that the format uses holds a control character.
bool FormatUsesControlCharacters(const std::string& format, const Mp3TagFields& fields);
// Case option by item index; no item chosen leaves the name as it is.
void ApplyMp3Case(std::string& name, int caseIndex);
// Number prefix: the counter text read as a decimal number, padded with "0" to
// the text's width, before each name; numbering stops silently at the first
// counter that is not a valid number.
void ApplyMp3Numbers(std::vector<std::string>& names, const std::string& numberText);
// Space option by item index; no item chosen leaves the name as it is.
void ApplyMp3Spaces(std::string& name, int spaceIndex);

} // namespace quorvane
