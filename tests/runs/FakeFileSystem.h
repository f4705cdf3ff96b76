#pragma once
// A file system in memory that can be told to fail. Like the platform the
// program was first written for, it will not set the times of a read-only file.

#include "runs/RunFileSystem.h"

#include <cerrno>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quorvane::test {

class FakeFileSystem final : public RunFileSystem {
public:
    struct File {
        std::uint32_t attributes = 0;
        std::uint32_t stamp = 0;
    };
    std::map<std::string, File> files;
    std::set<std::string> failRead, failWrite, failStamp;
    // Fails the n-th attribute write (1-based) of any file; 0 for never.
    int failWriteNumber = 0;
    std::vector<std::string> calls; // "read P", "write P 0xNN", "stamp P"

    int Rename(const std::string& folder, const std::string& from, const std::string& to) override {
        calls.push_back("rename " + from + " " + to);
        auto node = files.extract(folder + from);
        if (node.empty())
            return ENOENT;
        if (files.count(folder + to)) {
            files.insert(std::move(node));
            return EEXIST;
        }
        node.key() = folder + to;
        files.insert(std::move(node));
        return 0;
    }

    std::optional<std::uint32_t> ReadAttributes(const std::string& path) override {
        calls.push_back("read " + path);
        auto it = files.find(path);
        if (it == files.end() || failRead.count(path))
            return std::nullopt;
        return it->second.attributes;
    }

    int WriteAttributes(const std::string& path, std::uint32_t attributes) override {
        char word[16];
        std::snprintf(word, sizeof word, "0x%02X", attributes);
        calls.push_back("write " + path + " " + word);
        ++m_writes;
        auto it = files.find(path);
        if (it == files.end())
            return ENOENT;
        if (failWrite.count(path) || m_writes == failWriteNumber)
            return EIO;
        it->second.attributes = attributes;
        return 0;
    }

    int SetTimeStamp(const std::string& path, std::uint32_t packedLocal) override {
        calls.push_back("stamp " + path);
        auto it = files.find(path);
        if (it == files.end())
            return ENOENT;
        if (failStamp.count(path) || (it->second.attributes & 0x01) || packedLocal == 0)
            return EACCES;
        it->second.stamp = packedLocal;
        return 0;
    }

private:
    int m_writes = 0;
};

} // namespace quorvane::test
