#pragma once
// A flat hash table from names to small records, for the hundred thousand
// names of one folder. Keys are views: the strings they look at must outlive
// the table. Records are addressed by their index, which never changes.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace quorvane {

inline constexpr std::uint32_t kNoSlot = static_cast<std::uint32_t>(-1);

template <typename Record> class NameTable {
public:
    void Reserve(std::size_t names) {
        m_keys.reserve(names);
        m_records.reserve(names);
        std::size_t buckets = 16;
        while (buckets < names * 2)
            buckets *= 2;
        if (buckets > m_buckets.size())
            Rehash(buckets);
    }

    // The index of the record of `key`, added empty when it is new.
    std::uint32_t Add(std::string_view key) {
        if ((m_keys.size() + 1) * 2 > m_buckets.size())
            Rehash(m_buckets.empty() ? 16 : m_buckets.size() * 2);
        std::uint32_t& bucket = m_buckets[Probe(key)];
        if (bucket == kNoSlot) {
            bucket = static_cast<std::uint32_t>(m_keys.size());
            m_keys.push_back(key);
            m_records.emplace_back();
        }
        return bucket;
    }

    // The index of the record of `key`, or kNoSlot.
    std::uint32_t Find(std::string_view key) const {
        return m_buckets.empty() ? kNoSlot : m_buckets[Probe(key)];
    }

    std::size_t Buckets() const { return m_buckets.size(); }

    Record& operator[](std::uint32_t index) { return m_records[index]; }
    const Record& operator[](std::uint32_t index) const { return m_records[index]; }

private:
    // The bucket holding `key`, or the empty bucket where it would go. Half
    // the buckets at least stay empty, so probes are short.
    std::size_t Probe(std::string_view key) const {
        const std::size_t mask = m_buckets.size() - 1;
        std::size_t at = std::hash<std::string_view>{}(key)&mask;
        while (m_buckets[at] != kNoSlot && m_keys[m_buckets[at]] != key)
            at = (at + 1) & mask;
        return at;
    }

    void Rehash(std::size_t buckets) {
        m_buckets.assign(buckets, kNoSlot);
        for (std::uint32_t index = 0; index < m_keys.size(); ++index)
            m_buckets[Probe(m_keys[index])] = index;
    }

    std::vector<std::uint32_t> m_buckets; // record index, or kNoSlot
    std::vector<std::string_view> m_keys;
    std::vector<Record> m_records;
};

} // namespace quorvane
