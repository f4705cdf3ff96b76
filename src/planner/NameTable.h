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
        const std::size_t hash = Hash(key);
        Bucket& bucket = m_buckets[Probe(key, hash)];
        if (bucket.index == kNoSlot) {
            bucket = {static_cast<std::uint32_t>(m_keys.size()), Tag(hash)};
            m_keys.push_back(key);
            m_records.emplace_back();
        }
        return bucket.index;
    }

    // The index of the record of `key`, or kNoSlot.
    std::uint32_t Find(std::string_view key) const {
        return m_buckets.empty() ? kNoSlot : m_buckets[Probe(key, Hash(key))].index;
    }

    std::size_t Buckets() const { return m_buckets.size(); }

    Record& operator[](std::uint32_t index) { return m_records[index]; }
    const Record& operator[](std::uint32_t index) const { return m_records[index]; }

private:
    // A bucket keeps part of its key's hash, so a probe passes the keys of
    // other names without reading them.
    struct Bucket {
        std::uint32_t index = kNoSlot; // of the record, or kNoSlot
        std::uint32_t tag = 0;
    };

    static std::size_t Hash(std::string_view key) { return std::hash<std::string_view>{}(key); }
    static std::uint32_t Tag(std::size_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

    // The bucket holding `key`, or the empty bucket where it would go. Half
    // the buckets at least stay empty, so probes are short.
    std::size_t Probe(std::string_view key, std::size_t hash) const {
        const std::size_t mask = m_buckets.size() - 1;
        const std::uint32_t tag = Tag(hash);
        std::size_t at = hash & mask;
        while (m_buckets[at].index != kNoSlot &&
               (m_buckets[at].tag != tag || m_keys[m_buckets[at].index] != key))
            at = (at + 1) & mask;
        return at;
    }

    void Rehash(std::size_t buckets) {
        m_buckets.assign(buckets, Bucket{});
        for (std::uint32_t index = 0; index < m_keys.size(); ++index) {
            const std::size_t hash = Hash(m_keys[index]);
            m_buckets[Probe(m_keys[index], hash)] = {index, Tag(hash)};
        }
    }

    std::vector<Bucket> m_buckets;
    std::vector<std::string_view> m_keys;
    std::vector<Record> m_records;
};

} // namespace quorvane
