#pragma once
// Every section and key of "Options.ini", declared once. The save walks this
// table in its order (which is the order of the keys in a new file); the load
// asks it for each value by id, under the name it reads, so a key cannot be
// saved under one name and read under another by accident. The few names that
// the load spells differently ("Tagcount", "ApplyTo    ") are a column here;
// the file matches names without regard to letter case and outer blanks.

#include <cstddef>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace quorvane {

class IniFile;

enum class OptionType {
    Integer,      // decimal digits
    Boolean,      // "1" or "0"; any non-zero integer reads as true
    Text,         // stored unchanged
    Number,       // a spin box: a decimal number, "1" for an integral value
    HistoryItems, // the items of a history list: prefix + 0, 1, ... (count key elsewhere)
};

// In the order of the file: section by section, key by key (OptionKeys.def).
enum class OptionId : int {
#define OPTION_KEY(id, ...) id,
#define OPTION_READ_AS(id, ...) id,
#define OPTION_WRITTEN_ONLY(id, ...) id,
#define OPTION_ITEMS(id, ...) id,
#include "settings/OptionKeys.def"
#undef OPTION_KEY
#undef OPTION_READ_AS
#undef OPTION_WRITTEN_ONLY
#undef OPTION_ITEMS
};
inline constexpr std::size_t kOptionCount = static_cast<std::size_t>(OptionId::EditNamesHeight) + 1;

struct OptionKey {
    OptionId id;
    const char* section;
    // The name written; for HistoryItems the item prefix ("Ext_").
    const char* key;
    // The name the load reads; nullptr for a key that is written only.
    const char* readAs;
    OptionType type;
    // What the load takes for a missing or unreadable value, in the file's
    // own form ("1", "*.*"); empty for item lists.
    const char* defaultValue;
    // HistoryItems: the count key of the list. Otherwise the entry's own id.
    OptionId countKey;
};

// The whole table, in the order the save writes it.
std::span<const OptionKey> OptionKeys();
const OptionKey& OptionKeyOf(OptionId id);

// The longest history list the load takes in; a count beyond it (a damaged
// file) would otherwise keep the start busy for hours reading missing items.
inline constexpr long kMaxHistoryItems = 10000;

// A value as the save hands it over; the alternative matches the key's type
// (long for Integer, bool, std::string for Text, double for Number, the item
// list for HistoryItems), in the order of OptionType.
using OptionValue = std::variant<long, bool, std::string, double, std::vector<std::string>>;
static_assert(std::variant_size_v<OptionValue> ==
              static_cast<std::size_t>(OptionType::HistoryItems) + 1);

// Typed reads under each key's "read as" name, with the table's defaults. A
// read of another type than the key's own is a fault of the program: a debug
// build stops at it, otherwise it is reported on stderr and reads as zero
// (or the default given).
class StoredOptions {
public:
    explicit StoredOptions(const IniFile& file) : m_file(file) {}

    long Integer(OptionId id) const;
    bool Boolean(OptionId id) const;
    std::string Text(OptionId id) const;
    // A text whose default depends on the state already loaded.
    std::string Text(OptionId id, const std::string& defaultValue) const;
    double Number(OptionId id) const;
    // The stored items of a list, in order, as many as its count key says
    // (at most kMaxHistoryItems); missing items read as empty.
    std::vector<std::string> HistoryItems(OptionId items) const;

private:
    const IniFile& m_file;
};

// Writes one key under its written name. A value of another type than the
// key's is a fault of the program: a debug build stops at it, otherwise it is
// reported on stderr and nothing is written.
void WriteOption(IniFile& file, OptionId id, const OptionValue& value);

} // namespace quorvane
