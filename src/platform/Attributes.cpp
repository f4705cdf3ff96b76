#include "platform/Attributes.h"

#include "platform/DirectorySearch.h"
#include "platform/DosAttribBlob.h"

#include <cerrno>
#include <sys/stat.h>

// Hidden is a leading "." or the stored bit; system and archive live in the
// extended attribute user.DOSATTRIB (see DosAttribBlob.cpp). Read-only is one
// state kept in two places: the write permission bits, which every program
// here obeys, and the stored word, which is what Samba shows its clients when
// it stores DOS attributes. Either one makes a file read-only; setting or
// clearing it changes both, so a share and the local disk agree.

namespace quorvane {
namespace {

constexpr mode_t kAllWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool NameStartsWithDot(const std::string& path) {
    std::string_view name = path;
    while (name.size() > 1 && name.back() == '/')
        name.remove_suffix(1);
    const std::size_t slash = name.rfind('/');
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    return !name.empty() && name.front() == '.' && name != "." && name != "..";
}

bool KeepsNoExtendedAttributes(int error) {
    return error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

// The stored value: empty when there is none or the file system keeps no
// extended attributes (then `error` says which); false on any other read error.
bool ReadBlob(const std::string& path, const ExtendedAttributeCalls& calls, std::string& blob,
              int& error) {
    blob.clear();
    char buffer[256];
    const ssize_t size = calls.get(path.c_str(), kDosAttribName, buffer, sizeof buffer);
    if (size >= 0) {
        blob.assign(buffer, static_cast<std::size_t>(size));
        return true;
    }
    error = errno;
    if (error == ERANGE) { // larger than any value Samba writes, but read it whole
        const ssize_t needed = calls.get(path.c_str(), kDosAttribName, nullptr, 0);
        if (needed < 0) {
            error = errno;
            return false;
        }
        blob.resize(static_cast<std::size_t>(needed));
        const ssize_t got = calls.get(path.c_str(), kDosAttribName, blob.data(), blob.size());
        if (got < 0) {
            error = errno;
            return false;
        }
        blob.resize(static_cast<std::size_t>(got));
        return true;
    }
    return error == ENODATA || KeepsNoExtendedAttributes(error);
}

int WriteBlob(const std::string& path, const ExtendedAttributeCalls& calls,
              const std::string& blob) {
    if (calls.set(path.c_str(), kDosAttribName, blob.data(), blob.size(), 0) != 0)
        return errno;
    return 0;
}

void RestoreBlob(const std::string& path, const ExtendedAttributeCalls& calls,
                 const std::string& blob) {
    if (blob.empty())
        calls.remove(path.c_str(), kDosAttribName);
    else
        WriteBlob(path, calls, blob);
}

// Changes the permissions to `wanted` unless they are that already; keeps
// `current` up to date. 0 or an errno value.
int ChangeMode(const std::string& path, mode_t& current, mode_t wanted) {
    wanted &= 07777;
    if (wanted == (current & 07777))
        return 0;
    if (::chmod(path.c_str(), wanted) != 0)
        return errno;
    current = wanted;
    return 0;
}

} // namespace

std::optional<std::uint32_t> ReadAttributes(const std::string& path,
                                            const ExtendedAttributeCalls& calls) {
    return ReadAttributesThrough(path, path, calls);
}

int WriteAttributes(const std::string& path, std::uint32_t attributes,
                    const ExtendedAttributeCalls& calls) {
    return WriteAttributesThrough(path, path, attributes, calls);
}

std::optional<std::uint32_t> ReadAttributesThrough(const std::string& path, const std::string& name,
                                                   const ExtendedAttributeCalls& calls) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    std::string blob;
    int error = 0;
    std::uint32_t word = 0;
    if (ReadBlob(path, calls, blob, error) && !blob.empty())
        word = ParseDosAttribBlob(blob).value_or(0) & kAttrStoredBits;
    if ((info.st_mode & S_IWUSR) == 0)
        word |= kAttrReadOnly;
    if (S_ISDIR(info.st_mode))
        word |= kAttrDirectory;
    if (NameStartsWithDot(name))
        word |= kAttrHidden;
    return word;
}

int WriteAttributesThrough(const std::string& path, const std::string& name,
                           std::uint32_t attributes, const ExtendedAttributeCalls& calls) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno;
    std::string blob;
    int error = 0;
    if (!ReadBlob(path, calls, blob, error))
        return error;
    const bool readOnly = (attributes & kAttrReadOnly) != 0;
    const std::uint32_t newWord =
        (attributes & kAttrStoredBits) | (S_ISDIR(info.st_mode) ? kAttrDirectory : 0);
    const std::optional<std::uint32_t> oldWord =
        blob.empty() ? std::nullopt : ParseDosAttribBlob(blob);
    // Bits only the stored word can carry. Read-only is not among them (the
    // mode carries it too), so a file system without extended attributes
    // still takes it; a leading "." already says hidden.
    const std::uint32_t onlyStored =
        attributes & (NameStartsWithDot(name) ? kAttrSystem | kAttrArchive
                                              : kAttrHidden | kAttrSystem | kAttrArchive);
    // A file without a stored value gets one only when a bit needs it: one of
    // those, or read-only, which a Samba client would otherwise not see.
    const bool needsBlob = !blob.empty() || onlyStored != 0 || readOnly;
    bool blobChanges = needsBlob && oldWord != newWord;
    if (KeepsNoExtendedAttributes(error)) {
        // Nothing can be stored here: the mode alone carries read-only.
        if (onlyStored != 0)
            return EOPNOTSUPP;
        blobChanges = false;
    }

    // Changing a user extended attribute needs write permission (unless
    // privileged): the owner gets it first, and read-only is set last. A
    // failure puts back what was already changed, so the file is left as it was.
    const mode_t original = info.st_mode & 07777;
    mode_t current = original;
    if (!readOnly || blobChanges) {
        if (const int failed = ChangeMode(path, current, current | S_IWUSR))
            return failed;
    }
    bool blobWritten = false;
    if (blobChanges) {
        const int failed = WriteBlob(path, calls, EditDosAttribBlob(blob, newWord));
        // Some file systems only say so when a value is written.
        const bool modeSuffices =
            KeepsNoExtendedAttributes(failed) && blob.empty() && onlyStored == 0;
        if (failed != 0 && !modeSuffices) {
            ChangeMode(path, current, original);
            return failed;
        }
        blobWritten = failed == 0;
    }
    if (readOnly) {
        if (const int failed = ChangeMode(path, current, original & ~kAllWriteBits)) {
            if (blobWritten)
                RestoreBlob(path, calls, blob);
            ChangeMode(path, current, original);
            return failed;
        }
    }
    return 0;
}

} // namespace quorvane
