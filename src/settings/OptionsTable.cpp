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
constexpr const char* kDate = "Date";
constexpr const char* kMain = "Main";
constexpr const char* kEditNames = "EditNames";

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
#define OPTION_KEY(id, section, key, type, value) Key(I::id, section, key, T::type, value),
#define OPTION_READ_AS(id, section, key, readAs, type, value)                                      \
    KeyReadAs(I::id, section, key, readAs, T::type, value),
#define OPTION_WRITTEN_ONLY(id, section, key, type) WrittenOnly(I::id, section, key, T::type),
#define OPTION_ITEMS(id, section, prefix, count) Items(I::id, section, prefix, I::count),
#include "settings/OptionKeys.def"
#undef OPTION_KEY
#undef OPTION_READ_AS
#undef OPTION_WRITTEN_ONLY
#undef OPTION_ITEMS
};

// Ids are positions in the table: both come from the same list.
static_assert(kKeys.size() == kOptionCount);

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
