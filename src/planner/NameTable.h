#pragma once
// A flat hash table from names to small records, for the hundred thousand
// names of one folder. Keys are views: the strings they look at must outlive
// the table. Records are addressed by their index, which never changes.
// The table is read at random and is as large as the folder: it lives on
// large pages, and a caller walking many names prefetches a few ahead.

#include "platform/LargeBlocks.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace quorvane {

inline constexpr std::uint32_t kNoSlot = static_cast<std::uint32_t>(-1);

template <typename Record> class NameTable {
public:
    void Reserve(std::size_t names) {
        m_entries.reserve(names);
        std::size_t buckets = 16;
        while (buckets < names * 2)
            buckets *= 2;
        if (buckets > m_buckets.size())
            Rehash(buckets);
    }

    // The index of the record of `key`, added empty when it is new.
    std::uint32_t Add(std::string_view key) {
        if ((m_entries.size() + 1) * 2 > m_buckets.size())
            Rehash(m_buckets.empty() ? 16 : m_buckets.size() * 2);
        const std::size_t hash = Hash(key);
        Bucket& bucket = m_buckets[Probe(key, hash)];
        if (bucket.index == kNoSlot) {
            bucket = {static_cast<std::uint32_t>(m_entries.size()), Tag(hash)};
            m_entries.push_back({key, Record{}});
        }
        return bucket.index;
    }

    // Starts loading the bucket of `key`, for an Add or Find soon after.
    void Prefetch(std::string_view key) const {
        if (!m_buckets.empty())
            __builtin_prefetch(&m_buckets[Hash(key) & (m_buckets.size() - 1)]);
    }
    // Starts loading the entry the bucket of `key` points at, once the bucket
    // is in: a second stage after Prefetch, for a key that is likely there.
    void PrefetchEntry(std::string_view key) const {
        if (m_buckets.empty())
            return;
        const std::uint32_t index = m_buckets[Hash(key) & (m_buckets.size() - 1)].index;
        if (index != kNoSlot)
            __builtin_prefetch(&m_entries[index]);
    }

    // The index of the record of `key`, or kNoSlot.
    std::uint32_t Find(std::string_view key) const {
        return m_buckets.empty() ? kNoSlot : m_buckets[Probe(key, Hash(key))].index;
    }

    std::size_t Buckets() const { return m_buckets.size(); }

    Record& operator[](std::uint32_t index) { return m_entries[index].record; }
    const Record& operator[](std::uint32_t index) const { return m_entries[index].record; }

private:
    // A bucket keeps part of its key's hash, so a probe passes the keys of
    // other names without reading them.
    struct Bucket {
        std::uint32_t index = kNoSlot; // of the record, or kNoSlot
        std::uint32_t tag = 0;
    };
    // A key and its record side by side: the probe that checks the key has
    // loaded the record too.
    struct Entry {
        std::string_view key;
        Record record;
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
               (m_buckets[at].tag != tag || m_entries[m_buckets[at].index].key != key))
            at = (at + 1) & mask;
        return at;
    }

    void Rehash(std::size_t buckets) {
        m_buckets.assign(buckets, Bucket{});
        for (std::uint32_t index = 0; index < m_entries.size(); ++index) {
            const std::string_view key = m_entries[index].key;
            const std::size_t hash = Hash(key);
            m_buckets[Probe(key, hash)] = {index, Tag(hash)};
        }
    }

    std::vector<Bucket, LargeBlockAllocator<Bucket>> m_buckets;
    std::vector<Entry, LargeBlockAllocator<Entry>> m_entries;
};

} // namespace quorvane
