#include "settings/OptionsTable.h"

#include "platform/IniFile.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdio>

namespace quorvane {

namespace {

using T = OptionType;
using I = OptionId;

constexpr const char* kRenamePanel = "RenamePanel";
constexpr const char* kMp3PanelSection = "MP3Panel";
// The MP3 options go under this spelling; the file treats it as "MP3Panel".
constexpr const char* kMp3OptionsSection = "Mp3Panel";
constexpr const char* kCase = "Case";
constexpr const char* kInsert = "Insert";
constexpr const char* kDelete = "Delete";
constexpr const char* kReplace = "Replace";
constexpr const char* kAttr = "Attr";
constexpr const char* kEmu = "Emu";
constexpr const char* kMain = "Main";

// One key: written and read under the same name.
constexpr OptionKey Key(I id, const char* section, const char* key, T type, const char* value) {
    return {id, section, key, key, type, value, id};
}
// A key the load reads under another spelling.
constexpr OptionKey KeyReadAs(I id, const char* section, const char* key, const char* readAs,
                              T type, const char* value) {
    return {id, section, key, readAs, type, value, id};
}
// A key that is written for other readers of the file but never loaded.
constexpr OptionKey WrittenOnly(I id, const char* section, const char* key, T type) {
    return {id, section, key, nullptr, type, "", id};
}
// The items of a history list, counted by `count`.
constexpr OptionKey Items(I id, const char* section, const char* prefix, I count) {
    return {id, section, prefix, prefix, T::HistoryItems, "", count};
}

constexpr std::array kKeys{
    Key(I::RenamePanelLeft, kRenamePanel, "Left", T::Integer, "192"),
    Key(I::RenamePanelTop, kRenamePanel, "Top", T::Integer, "176"),
    Key(I::RenamePanelVisible, kRenamePanel, "visible", T::Boolean, "1"),
    Key(I::RenamePanelDown, kRenamePanel, "Down", T::Boolean, "1"),
    Key(I::RenamePanelActiveIndex, kRenamePanel, "ActiveIndex", T::Integer, "0"),

    Key(I::Mp3PanelLeft, kMp3PanelSection, "Left", T::Integer, "144"),
    Key(I::Mp3PanelTop, kMp3PanelSection, "Top", T::Integer, "152"),
    Key(I::Mp3PanelVisible, kMp3PanelSection, "visible", T::Boolean, "0"),
    Key(I::Mp3PanelDown, kMp3PanelSection, "Down", T::Boolean, "0"),

    Key(I::CaseMFRB1, kCase, "MFRB1", T::Boolean, "1"),
    Key(I::CaseMFRB2, kCase, "MFRB2", T::Boolean, "0"),
    Key(I::CaseMFRB3, kCase, "MFRB3", T::Boolean, "0"),
    Key(I::CaseMFRB4, kCase, "MFRB4", T::Boolean, "0"),
    Key(I::CaseRB1, kCase, "RB1", T::Boolean, "1"),
    Key(I::CaseRB2, kCase, "RB2", T::Boolean, "0"),
    Key(I::CaseRB3, kCase, "RB3", T::Boolean, "0"),
    Key(I::CaseRB4, kCase, "RB4", T::Boolean, "0"),
    Key(I::CaseExtEnabled, kCase, "CaseEXT", T::Boolean, "0"),
    Key(I::CaseExtText, kCase, "CaseEXTText", T::Text, ""),
    Key(I::CaseExtCount, kCase, "CaseEXTCount", T::Integer, "0"),
    Items(I::CaseExtItems, kCase, "Ext_", I::CaseExtCount),

    Key(I::InsertText, kInsert, "InsertStr", T::Text, ""),
    Key(I::InsertIndex, kInsert, "index", T::Number, "1"),
    Key(I::InsertFromEnd, kInsert, "IsFromEnd", T::Boolean, "0"),

    Key(I::DeleteFromEnd, kDelete, "IsFromEnd", T::Boolean, "0"),
    Key(I::DeleteIndex, kDelete, "index", T::Number, "1"),
    Key(I::DeleteCount, kDelete, "Count", T::Number, "0"),

    Key(I::ReplaceSource, kReplace, "sourceStr", T::Text, ""),
    // The replacement text sits right after the search text.
    Key(I::ReplaceTarget, kReplace, "targetStr", T::Text, ""),
    Key(I::ReplaceReplace, kReplace, "Replace", T::Boolean, "1"),
    Key(I::ReplaceRemove, kReplace, "Remove", T::Boolean, "0"),
    Key(I::ReplaceAllOccurrences, kReplace, "AllSub", T::Boolean, "0"),

    Key(I::AttrChangeAttr, kAttr, "ChangeAttr", T::Boolean, "0"),
    Key(I::AttrSetTimeStamp, kAttr, "ChkSetTimeStamp", T::Boolean, "0"),
    Key(I::AttrReadOnly, kAttr, "ReadOnly", T::Boolean, "0"),
    Key(I::AttrHidden, kAttr, "Hidden", T::Boolean, "0"),
    Key(I::AttrArchive, kAttr, "Archive", T::Boolean, "0"),
    Key(I::AttrSystem, kAttr, "sysfile", T::Boolean, "0"),
    Key(I::AttrSelectEnabled, kAttr, "Select", T::Boolean, "0"),
    Key(I::AttrNoEnabled, kAttr, "NO", T::Boolean, "0"),
    Key(I::AttrTimeNowEnabled, kAttr, "TimeNow", T::Boolean, "0"),

    Key(I::EmuTemplate, kEmu, "Template", T::Text, ""),
    Key(I::EmuLast, kEmu, "Last ", T::Text, ""),
    // The default follows the serial kind ("001", "a" or "A"); the load
    // passes it in. "001" is the default of the built-in kind.
    KeyReadAs(I::EmuStartFromText, kEmu, "StartFromStr", "StartFromStr ", T::Text, "001"),
    Key(I::EmuExtText, kEmu, "Ext", T::Text, ""),
    Key(I::EmuExtCount, kEmu, "ExtCount", T::Integer, "0"),
    WrittenOnly(I::EmuStartFromIndex, kEmu, "StartFromIndex", T::Integer),
    Key(I::EmuStartFromCount, kEmu, "StartFromCount", T::Integer, "0"),
    KeyReadAs(I::EmuApplyTo, kEmu, "ApplyTo", "ApplyTo    ", T::Integer, "0"),
    Key(I::EmuAlpha, kEmu, "Alpha", T::Integer, "0"),
    Key(I::EmuStep, kEmu, "step", T::Number, "1"),
    Items(I::EmuStartFromItems, kEmu, "Start_", I::EmuStartFromCount),
    Items(I::EmuExtItems, kEmu, "Ext_", I::EmuExtCount),

    Key(I::MainLeft, kMain, "Left", T::Integer, "100"),
    Key(I::MainTop, kMain, "Top", T::Integer, "36"),
    Key(I::MainWidth, kMain, "Width", T::Integer, "660"),
    Key(I::MainHeight, kMain, "Height", T::Integer, "500"),
    KeyReadAs(I::MainFavoriteText, kMain, "Favorite ", "Favorite", T::Text, ""),
    Key(I::MainFilterText, kMain, "Filter ", T::Text, "*.*"),
    Key(I::MainDirCount, kMain, "DirCount", T::Integer, "0"),
    KeyReadAs(I::MainFilterCount, kMain, "FilterCount", "Filtercount", T::Integer, "0"),
    Key(I::MainIncludeSub, kMain, "IncludeSub", T::Boolean, "0"),
    Items(I::MainFavoriteItems, kMain, "Favorite_", I::MainDirCount),
    Items(I::MainFilterItems, kMain, "Filter_", I::MainFilterCount),
    Key(I::MainToolBarVisible, kMain, "TBVisible", T::Boolean, "1"),
    Key(I::MainFilterVisible, kMain, "FilterVisible", T::Boolean, "1"),
    Key(I::MainFavoriteVisible, kMain, "FavoriteVisible", T::Boolean, "1"),
    Key(I::MainIncludeSubVisible, kMain, "TbIncludeSub", T::Boolean, "1"),
    Key(I::MainStatusBarVisible, kMain, "StatusBarVisible", T::Boolean, "1"),

    Key(I::Mp3Space, kMp3OptionsSection, "Space", T::Boolean, "0"),
    KeyReadAs(I::Mp3Case, kMp3OptionsSection, "Case", "case", T::Boolean, "0"),
    Key(I::Mp3AddPre, kMp3OptionsSection, "AddPre", T::Boolean, "0"),
    Key(I::Mp3FormatIndex, kMp3OptionsSection, "cbFormat", T::Integer, "0"),
    Key(I::Mp3SpaceIndex, kMp3OptionsSection, "cbSpace", T::Integer, "0"),
    Key(I::Mp3CaseIndex, kMp3OptionsSection, "cbCase", T::Integer, "0"),
    Key(I::Mp3EmulationIndex, kMp3OptionsSection, "cbEmulation", T::Integer, "1"),
    KeyReadAs(I::Mp3FormatCount, kMp3OptionsSection, "TagCount", "Tagcount", T::Integer, "0"),
    Key(I::Mp3LastFormat, kMp3OptionsSection, "LastFormat", T::Text, "%1 %3 %2"),
    Items(I::Mp3FormatItems, kMp3OptionsSection, "Format_", I::Mp3FormatCount),
};

// Ids are positions in the table, so a look-up is an index and an id added to
// the enumeration without a row (or a row out of place) does not compile.
constexpr bool IdsArePositions() {
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        if (static_cast<std::size_t>(kKeys[i].id) != i)
            return false;
    return kKeys.back().id == I::Mp3FormatItems;
}
static_assert(IdsArePositions(), "the option table must list every id once, in id order");

// A key used with another type than its own, or a read of a key that is
// written only, is a fault of the program, not of the file: it stops a debug
// build here; otherwise it is reported and the read takes the type's zero.
bool Misused(const OptionKey& key, const char* what) {
    std::fprintf(stderr, "quorvane: option [%s] %s %s\n", key.section, key.key, what);
    assert(!"option used against the table");
    return true;
}

bool Readable(const OptionKey& key, OptionType type) {
    if (key.type != type)
        return !Misused(key, "read with the wrong type");
    if (!key.readAs)
        return !Misused(key, "is written only");
    return true;
}

long DefaultInteger(const OptionKey& key) {
    return std::stol(key.defaultValue);
}

} // namespace

std::span<const OptionKey> OptionKeys() {
    return kKeys;
}

const OptionKey& OptionKeyOf(OptionId id) {
    return kKeys.at(static_cast<std::size_t>(id));
}

long StoredOptions::Integer(OptionId id) const {
    const OptionKey& key = OptionKeyOf(id);
    if (!Readable(key, OptionType::Integer))
        return 0;
    return m_file.ReadInteger(key.section, key.readAs, DefaultInteger(key));
}

bool StoredOptions::Boolean(OptionId id) const {
    const OptionKey& key = OptionKeyOf(id);
    if (!Readable(key, OptionType::Boolean))
        return false;
    return m_file.ReadBool(key.section, key.readAs, DefaultInteger(key) != 0);
}

std::string StoredOptions::Text(OptionId id) const {
    return Text(id, OptionKeyOf(id).defaultValue);
}

std::string StoredOptions::Text(OptionId id, const std::string& defaultValue) const {
    const OptionKey& key = OptionKeyOf(id);
    if (!Readable(key, OptionType::Text))
        return defaultValue;
    return m_file.ReadString(key.section, key.readAs, defaultValue);
}

double StoredOptions::Number(OptionId id) const {
    const OptionKey& key = OptionKeyOf(id);
    if (!Readable(key, OptionType::Number))
        return 0;
    return m_file.ReadFloat(key.section, key.readAs, std::stod(key.defaultValue));
}

std::vector<std::string> StoredOptions::HistoryItems(OptionId items) const {
    const OptionKey& list = OptionKeyOf(items);
    if (!Readable(list, OptionType::HistoryItems))
        return {};
    const long count = std::min(Integer(list.countKey), kMaxHistoryItems);
    std::vector<std::string> result;
    for (long i = 0; i < count; ++i)
        result.push_back(m_file.ReadString(list.section, list.readAs + std::to_string(i), {}));
    return result;
}

void WriteOption(IniFile& file, OptionId id, const OptionValue& value) {
    const OptionKey& key = OptionKeyOf(id);
    // The alternatives of OptionValue stand in the order of OptionType.
    if (value.index() != static_cast<std::size_t>(key.type)) {
        Misused(key, "written with the wrong type");
        return;
    }
    switch (key.type) {
    case OptionType::Integer:
        file.WriteInteger(key.section, key.key, std::get<long>(value));
        break;
    case OptionType::Boolean:
        file.WriteBool(key.section, key.key, std::get<bool>(value));
        break;
    case OptionType::Text:
        file.WriteString(key.section, key.key, std::get<std::string>(value));
        break;
    case OptionType::Number:
        file.WriteFloat(key.section, key.key, std::get<double>(value));
        break;
    case OptionType::HistoryItems: {
        const auto& items = std::get<std::vector<std::string>>(value);
        for (std::size_t i = 0; i < items.size(); ++i)
            file.WriteString(key.section, key.key + std::to_string(i), items[i]);
        break;
    }
    }
}

} // namespace quorvane
