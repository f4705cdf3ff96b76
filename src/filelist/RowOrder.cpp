#include "filelist/RowOrder.h"

#include "text/AsciiCase.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace quorvane {
namespace {

// Letters compare as their upper case, so "_" (between "Z" and "a") sorts
// after every letter.
unsigned char FoldLetter(unsigned char c) {
    return static_cast<unsigned char>(ToAsciiUpper(static_cast<char>(c)));
}

template <typename T> int Sign(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The number the "Size" cell shows is bytes / 1024 + 1; the + 1 does not
// change the order, and leaving it out keeps the largest sizes from wrapping.
std::uint64_t SizeKey(const FileRow& row) {
    return row.sizeBytes / 1024;
}

bool IsNumericColumn(int column) {
    return column == kColumnSize || column == kColumnModified;
}

bool IsTextColumn(int column) {
    return column == kColumnOriginalName || column == kColumnNewName || column == kColumnType ||
           column == kColumnAttribute || column == kColumnPath;
}

// Columns whose cell text is derived from the row rather than stored in it.
bool IsDerivedTextColumn(int column) {
    return column == kColumnType || column == kColumnAttribute;
}

std::string DerivedText(const FileRow& row, int column) {
    return column == kColumnType ? TypeText(row) : AttributeText(row.attributes);
}

std::string_view StoredText(const FileRow& row, int column) {
    switch (column) {
    case kColumnOriginalName:
        return row.originalName;
    case kColumnNewName:
        return row.newName;
    default:
        return row.Path();
    }
}

std::int64_t NumericKey(const FileRow& row, int column) {
    // Sizes are below 2^63 bytes, so the kilobyte count fits.
    return column == kColumnSize ? static_cast<std::int64_t>(SizeKey(row)) : row.modifiedUtc;
}

// The sort keys of every row, computed once per sort instead of once per
// comparison. `order` is the permutation being sorted.
class SortKeys {
public:
    SortKeys(const FileRows& rows, int column) : m_column(column) {
        if (IsNumericColumn(column)) {
            m_numbers.reserve(rows.size());
            for (const FileRow& row : rows)
                m_numbers.push_back(NumericKey(row, column));
            return;
        }
        if (IsDerivedTextColumn(column)) {
            m_owned.reserve(rows.size());
            for (const FileRow& row : rows)
                m_owned.push_back(DerivedText(row, column));
            m_texts.assign(m_owned.begin(), m_owned.end());
        } else if (IsTextColumn(column)) {
            m_texts.reserve(rows.size());
            for (const FileRow& row : rows)
                m_texts.push_back(StoredText(row, column));
        }
        m_prefixes.reserve(m_texts.size());
        for (const std::string_view text : m_texts)
            m_prefixes.push_back(FoldedPrefix(text));
    }

    bool IsText() const { return !IsNumericColumn(m_column) && !m_texts.empty(); }

    // Sorts `part` (rows' indices) by their texts, eight bytes at a time: the
    // rows are ordered by their prefixes, and only the runs that share one go
    // on to the next eight bytes. Names such as "IMG_2023…" share long starts;
    // a comparison sort would compare them whole, over and over. Stable: rows
    // whose texts compare equal keep their order.
    void SortTexts(std::uint32_t* part, std::size_t count, bool ascending) const {
        std::vector<Keyed> keyed(count);
        SortTextsFrom(part, keyed.data(), count, 0, ascending);
    }

    int Compare(std::uint32_t a, std::uint32_t b) const {
        if (IsNumericColumn(m_column))
            return Sign(m_numbers[a], m_numbers[b]);
        if (m_texts.empty())
            return 0;
        // Most pairs differ within their first bytes: one integer comparison
        // settles them without reaching into the texts.
        if (m_prefixes[a] != m_prefixes[b])
            return Sign(m_prefixes[a], m_prefixes[b]);
        return CompareListText(m_texts[a], m_texts[b]);
    }

private:
    struct Keyed {
        std::uint64_t key;
        std::uint32_t index;
    };

    void SortTextsFrom(std::uint32_t* part, Keyed* keyed, std::size_t count, std::size_t depth,
                       bool ascending) const {
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view text = m_texts[part[i]];
            keyed[i] = {FoldedPrefix(depth < text.size() ? text.substr(depth) : std::string_view{}),
                        part[i]};
        }
        std::stable_sort(keyed, keyed + count, [ascending](const Keyed& a, const Keyed& b) {
            return ascending ? a.key < b.key : b.key < a.key;
        });
        for (std::size_t i = 0; i < count; ++i)
            part[i] = keyed[i].index;
        // A run of one prefix goes on, unless the prefix holds the texts' end:
        // names hold no zero byte, so a zero low byte means they end there.
        for (std::size_t start = 0; start < count;) {
            std::size_t end = start + 1;
            while (end < count && keyed[end].key == keyed[start].key)
                ++end;
            if (end - start > 1 && (keyed[start].key & 0xff) != 0)
                SortTextsFrom(part + start, keyed + start, end - start, depth + 8, ascending);
            start = end;
        }
    }

    // The first eight bytes, letters folded, as one big-endian number; a
    // shorter text is padded with zero bytes, which sort below every byte, so
    // unequal prefixes order as the texts do.
    static std::uint64_t FoldedPrefix(std::string_view text) {
        std::uint64_t prefix = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            const unsigned char byte =
                i < text.size() ? FoldLetter(static_cast<unsigned char>(text[i])) : 0;
            prefix = (prefix << 8) | byte;
        }
        return prefix;
    }

    int m_column;
    std::vector<std::int64_t> m_numbers;
    std::vector<std::string> m_owned;
    std::vector<std::string_view> m_texts;
    std::vector<std::uint64_t> m_prefixes;
};

// The permutation that orders the rows; the first `sortedPrefix` of them are
// already in order, so only the rest is sorted and then merged in. Descending
// swaps the operands rather than negating a comparison, so equal rows keep
// their order in both directions.
std::vector<std::uint32_t> SortedOrder(const FileRows& rows, int column, bool ascending,
                                       std::size_t sortedPrefix) {
    std::vector<std::uint32_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0u);
    if (!IsNumericColumn(column) && !IsTextColumn(column))
        return order;
    const SortKeys keys(rows, column);
    const auto before = [&keys, ascending](std::uint32_t a, std::uint32_t b) {
        return ascending ? keys.Compare(a, b) < 0 : keys.Compare(b, a) < 0;
    };
    const auto middle =
        order.begin() + static_cast<std::ptrdiff_t>(std::min(sortedPrefix, rows.size()));
    if (keys.IsText())
        keys.SortTexts(order.data() + (middle - order.begin()),
                       static_cast<std::size_t>(order.end() - middle), ascending);
    else
        std::stable_sort(middle, order.end(), before);
    std::inplace_merge(order.begin(), middle, order.end(), before);
    return order;
}

// In place, one cycle of the permutation at a time: a second array of rows
// would be as large as the list, and its first touch costs more than the sort.
void Permute(FileRows& rows, const std::vector<std::uint32_t>& order) {
    std::vector<bool> placed(rows.size(), false);
    for (std::size_t start = 0; start < rows.size(); ++start) {
        if (placed[start] || order[start] == start)
            continue;
        // Position i takes the row at order[i]: walk the cycle from `start`.
        FileRow held = std::move(rows[start]);
        std::size_t at = start;
        for (std::size_t from = order[at]; from != start; from = order[at]) {
            rows[at] = std::move(rows[from]);
            placed[at] = true;
            at = from;
        }
        rows[at] = std::move(held);
        placed[at] = true;
    }
}

} // namespace

int CompareListText(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char ca = FoldLetter(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldLetter(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return Sign(a.size(), b.size());
}

int ListViewCompare(const FileRow& a, const FileRow& b, int column) {
    if (IsNumericColumn(column))
        return Sign(NumericKey(a, column), NumericKey(b, column));
    if (IsDerivedTextColumn(column))
        return CompareListText(DerivedText(a, column), DerivedText(b, column));
    if (IsTextColumn(column))
        return CompareListText(StoredText(a, column), StoredText(b, column));
    return 0;
}

void SortRows(FileRows& rows, int column, bool ascending) {
    if (rows.size() < 2)
        return;
    Permute(rows, SortedOrder(rows, column, ascending, 0));
}

void SortAppendedRows(FileRows& rows, std::size_t firstAppended, int column, bool ascending) {
    if (rows.size() < 2 || firstAppended >= rows.size())
        return;
    Permute(rows, SortedOrder(rows, column, ascending, firstAppended));
}

void SortInNameOrder(FileRows& rows) {
    SortRows(rows, kColumnOriginalName, true);
}

void SortInNameOrder(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return CompareListText(a, b) < 0;
    });
}

bool IsSorted(const FileRows& rows, int column, bool ascending) {
    if (rows.size() < 2 || (!IsNumericColumn(column) && !IsTextColumn(column)))
        return true;
    const SortKeys keys(rows, column);
    for (std::uint32_t i = 1; i < rows.size(); ++i) {
        const int result = keys.Compare(i - 1, i);
        if (ascending ? result > 0 : result < 0)
            return false;
    }
    return true;
}

SortState AfterColumnClick(SortState state, int column) {
    state.ascending = (column == state.column) ? !state.ascending : true;
    state.column = column;
    return state;
}

SortState AfterArrange(SortState state, int column) {
    state.column = column;
    return AfterColumnClick(state, column);
}

} // namespace quorvane
