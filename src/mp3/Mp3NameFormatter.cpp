#include "mp3/Mp3NameFormatter.h"

#include "mp3/GenreNames.h"
#include "mp3/TagText.h"
#include "platform/FileTail.h"
#include "rules/CaseRule.h"
#include "text/AsciiCase.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace quorvane {
namespace {

const char kSeparator = '-';
const char kMp3Extension[] = ".mp3";

void AppendField(std::string& name, std::string_view field) {
    if (field.empty())
        return;
    if (!name.empty())
        name += kSeparator;
    name += field;
}

// Tag text is raw bytes; the name must be UTF-8. The file's own name (%N) is
// already in the file system's encoding and is kept byte for byte.
void AppendTagText(std::string& name, const std::string& raw) {
    AppendField(name, TagTextToUtf8(raw));
}

// A decimal number with an optional sign; nothing for an empty text, other
// characters or a value beyond 64 bits.
std::optional<std::int64_t> ParseCounter(const std::string& text) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        i = 1;
    if (i == text.size())
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const std::uint64_t limit =
        negative ? std::uint64_t{1} << 63 : std::uint64_t(std::numeric_limits<std::int64_t>::max());
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (negative)
        return magnitude == (std::uint64_t{1} << 63) ? std::numeric_limits<std::int64_t>::min()
                                                     : -static_cast<std::int64_t>(magnitude);
    return static_cast<std::int64_t>(magnitude);
}

// Decimal, padded with "0" after any sign to `width` characters; never cut.
std::string PaddedNumber(std::int64_t number, std::size_t width) {
    const bool negative = number < 0;
    // The magnitude of the smallest value does not fit a signed 64-bit number.
    const std::uint64_t magnitude = negative ? std::uint64_t(0) - static_cast<std::uint64_t>(number)
                                             : static_cast<std::uint64_t>(number);
    std::string digits = std::to_string(magnitude);
    const std::size_t used = digits.size() + (negative ? 1 : 0);
    std::string text = negative ? "-" : "";
    if (used < width)
        text.append(width - used, '0');
    return text + digits;
}

// Walks the format as the expansion reads it: "%" turns the placeholder state
// on, one of 1-7 or N expands and turns it off, any other character (literal
// text included) is dropped without ending a pending "%".
template <typename Expand> std::string WalkFormat(const std::string& format, Expand expand) {
    std::string name;
    bool percent = false;
    for (const char c : format) {
        if (c == '%') {
            percent = true;
            continue;
        }
        if (!percent)
            continue;
        if ((c >= '1' && c <= '7') || c == 'N') {
            expand(c, name);
            percent = false;
        }
    }
    return name;
}

// The fields behind the placeholders, as members of the tag they come from.
template <typename Tag> struct PlaceholderField {
    char placeholder;
    std::string Tag::*member;
};

template <typename Tag, std::size_t N>
const std::string* FieldIn(const PlaceholderField<Tag> (&table)[N], char placeholder,
                           const Tag& tag) {
    for (const PlaceholderField<Tag>& entry : table) {
        if (entry.placeholder == placeholder)
            return &(tag.*entry.member);
    }
    return nullptr;
}

const PlaceholderField<Mp3TagFields> kTagFields[] = {
    {'1', &Mp3TagFields::artist}, {'2', &Mp3TagFields::title}, {'3', &Mp3TagFields::album},
    {'4', &Mp3TagFields::year},   {'5', &Mp3TagFields::genre}, {'6', &Mp3TagFields::comment},
    {'7', &Mp3TagFields::track}};

// The genre and track of a v1 tag are numbers; the other fields are its raw text.
const PlaceholderField<TID3v1> kID3v1TextFields[] = {{'1', &TID3v1::artist},
                                                     {'2', &TID3v1::title},
                                                     {'3', &TID3v1::album},
                                                     {'4', &TID3v1::year},
                                                     {'6', &TID3v1::comment}};

const std::string* FieldOf(char placeholder, const Mp3TagFields& fields) {
    return FieldIn(kTagFields, placeholder, fields);
}

} // namespace

std::string ExpandMp3Format(const std::string& format, const TID3v1& tag,
                            const std::string& originalName) {
    return WalkFormat(format, [&](char placeholder, std::string& name) {
        if (const std::string* text = FieldIn(kID3v1TextFields, placeholder, tag))
            AppendTagText(name, *text);
        else if (placeholder == '5')
            AppendField(name, GenreNameOf(tag.genre));
        else if (placeholder == '7')
            AppendField(name, std::to_string(tag.track));
        else
            AppendField(name, BaseNameOf(originalName));
    });
}

std::string ExpandMp3Format(const std::string& format, const Mp3TagFields& fields,
                            const std::string& originalName) {
    return WalkFormat(format, [&](char placeholder, std::string& name) {
        const std::string* field = FieldOf(placeholder, fields);
        AppendField(name, field ? std::string_view(*field) : BaseNameOf(originalName));
    });
}

bool FormatUsesControlCharacters(const std::string& format, const Mp3TagFields& fields) {
    bool found = false;
    WalkFormat(format, [&](char placeholder, std::string&) {
        const std::string* field = FieldOf(placeholder, fields);
        found = found || (field && HoldsControlCharacter(*field));
    });
    return found;
}

void ApplyMp3Case(std::string& name, int caseIndex) {
    switch (caseIndex) {
    case kMp3CaseCapitalize:
        CapitalizeWordsInPlace(name);
        break;
    case kMp3CaseUpper:
        UpperAsciiLetters(name);
        break;
    case kMp3CaseLower:
        LowerAsciiLetters(name);
        break;
    default:
        break;
    }
}

void ApplyMp3Spaces(std::string& name, int spaceIndex) {
    switch (spaceIndex) {
    case kMp3SpaceHyphen:
        std::replace(name.begin(), name.end(), ' ', '-');
        break;
    case kMp3SpaceUnderscore:
        std::replace(name.begin(), name.end(), ' ', '_');
        break;
    case kMp3SpaceDelete:
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        break;
    default:
        break;
    }
}

void ApplyMp3Numbers(std::vector<std::string>& names, const std::string& numberText) {
    const std::size_t width = numberText.size();
    std::optional<std::int64_t> counter = ParseCounter(numberText);
    for (std::string& name : names) {
        if (!counter)
            return;
        name.insert(0, PaddedNumber(*counter, width));
        // Past the largest number the counter is no longer valid and numbering
        // stops, instead of wrapping round to negative numbers.
        if (*counter == std::numeric_limits<std::int64_t>::max())
            counter.reset();
        else
            ++*counter;
    }
}

namespace {

// Reads the tags of row after row: ID3v2 into `fields` when asked, with the
// v1 block as the fallback; v1 alone into the reader, through the held folder.
struct RowTags {
    explicit RowTags(TID3v1& id3v1) : reader(id3v1), tags(id3v1) {}

    Mp3TagSource Read(const FileRow& row, bool readId3v2) {
        const int held = readId3v2 ? -1 : folder.Descriptor(row.Path());
        if (held >= 0)
            return reader.ReadID3v1In(held, row.originalName) && reader.exists ? Mp3TagSource::ID3v1
                                                                               : Mp3TagSource::None;
        path.assign(row.Path());
        path += row.originalName;
        if (readId3v2)
            return tags.Read(path, true, fields);
        return reader.ReadID3v1(path) && reader.exists ? Mp3TagSource::ID3v1 : Mp3TagSource::None;
    }

    TID3v1& reader;
    Mp3TagReader tags;
    Mp3TagFields fields;
    HeldFolder folder; // rows of one folder come one after another, as a scan lists them
    std::string path;  // one buffer for every row's path where the folder cannot be held
};

// Case, numbering and spaces, in the order the panel lists them.
void ApplyMp3Choices(std::vector<std::string>& names, const Mp3NameSettings& settings) {
    if (settings.caseOn)
        for (std::string& name : names)
            ApplyMp3Case(name, settings.caseIndex);
    if (settings.numberOn)
        ApplyMp3Numbers(names, settings.numberText);
    if (settings.spaceOn)
        for (std::string& name : names)
            ApplyMp3Spaces(name, settings.spaceIndex);
}

} // namespace

Mp3PreviewResult PreviewMp3Names(FileRows& rows, const Mp3NameSettings& settings, TID3v1& reader) {
    Mp3PreviewResult result;
    for (FileRow& row : rows)
        row.newName.clear();
    SelectAllWhenNoneSelected(rows);

    RowTags rowTags(reader);
    const Mp3TagFields& fields = rowTags.fields;
    std::vector<std::string> names;
    names.reserve(rows.size());
    std::vector<FileRow*> namedRows; // the row each built name belongs to
    for (FileRow& row : rows) {
        if (!row.selected)
            continue;
        const Mp3TagSource source = rowTags.Read(row, settings.readId3v2);
        if (source == Mp3TagSource::None) {
            row.selected = false;
            ++result.untagged;
            continue;
        }
        if (source == Mp3TagSource::ID3v1) {
            names.push_back(ExpandMp3Format(settings.format, reader, row.originalName));
        } else if (FormatUsesControlCharacters(settings.format, fields)) {
            // A line break or other control character has no place in a file
            // name; the row is left without one so Apply passes it by.
            ++result.refusedTagText;
            continue;
        } else {
            names.push_back(ExpandMp3Format(settings.format, fields, row.originalName));
        }
        namedRows.push_back(&row);
    }

    ApplyMp3Choices(names, settings);
    for (std::size_t k = 0; k < names.size(); ++k) {
        // A name of nothing but ".mp3" would hide the file on this platform;
        // like an empty name from the file rules, it leaves the row unnamed.
        std::string& built = names[k];
        if (built.empty())
            continue;
        namedRows[k]->newName = std::move(built);
        namedRows[k]->newName += kMp3Extension;
    }
    result.selected = names.size() + result.refusedTagText;
    return result;
}

} // namespace quorvane
