#include "platform/Attributes.h"

#include "platform/DirectorySearch.h"
#include "platform/DosAttribBlob.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/xattr.h>

// Read-only lives in the write permission bits. Hidden is a leading "." or the
// stored bit; system, archive and the stored hidden bit live in the extended
// attribute user.DOSATTRIB (see DosAttribBlob.cpp). The stored word also
// mirrors read-only and the directory bit, as Samba keeps them there.

namespace quorvane {
namespace {

constexpr std::uint32_t kStoredBits = kAttrHidden | kAttrSystem | kAttrArchive;
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

// The stored value: empty when there is none or the file system keeps no
// extended attributes; false on any other read error.
bool ReadBlob(const std::string& path, std::string& blob, int& error) {
    blob.clear();
    char buffer[256];
    const ssize_t size = ::getxattr(path.c_str(), kDosAttribName, buffer, sizeof buffer);
    if (size >= 0) {
        blob.assign(buffer, static_cast<std::size_t>(size));
        return true;
    }
    error = errno;
    if (error == ERANGE) { // larger than any value Samba writes, but read it whole
        const ssize_t needed = ::getxattr(path.c_str(), kDosAttribName, nullptr, 0);
        if (needed < 0) {
            error = errno;
            return false;
        }
        blob.resize(static_cast<std::size_t>(needed));
        const ssize_t got = ::getxattr(path.c_str(), kDosAttribName, blob.data(), blob.size());
        if (got < 0) {
            error = errno;
            return false;
        }
        blob.resize(static_cast<std::size_t>(got));
        return true;
    }
    return error == ENODATA || error == ENOTSUP;
}

int WriteBlob(const std::string& path, const std::string& blob) {
    if (::setxattr(path.c_str(), kDosAttribName, blob.data(), blob.size(), 0) != 0)
        return errno;
    return 0;
}

void RestoreBlob(const std::string& path, const std::string& blob) {
    if (blob.empty())
        ::removexattr(path.c_str(), kDosAttribName);
    else
        WriteBlob(path, blob);
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

std::optional<std::uint32_t> ReadAttributes(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    std::string blob;
    int error = 0;
    std::uint32_t word = 0;
    if (ReadBlob(path, blob, error) && !blob.empty())
        word = ParseDosAttribBlob(blob).value_or(0) & kStoredBits;
    if ((info.st_mode & S_IWUSR) == 0)
        word |= kAttrReadOnly;
    if (S_ISDIR(info.st_mode))
        word |= kAttrDirectory;
    if (NameStartsWithDot(path))
        word |= kAttrHidden;
    return word;
}

int WriteAttributes(const std::string& path, std::uint32_t attributes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno;
    std::string blob;
    int error = 0;
    if (!ReadBlob(path, blob, error))
        return error;
    const bool readOnly = (attributes & kAttrReadOnly) != 0;
    const std::uint32_t stored = (attributes & kStoredBits);
    const std::uint32_t oldWord = blob.empty() ? 0 : ParseDosAttribBlob(blob).value_or(0);
    // Without a stored value and without stored bits wanted, nothing needs an
    // extended attribute, so file systems without them still take read-only.
    // A leading "." already says hidden, so a word read and written back
    // unchanged needs no stored value either.
    const std::uint32_t needsStoring =
        stored & (NameStartsWithDot(path) ? kAttrSystem | kAttrArchive : kStoredBits);
    const bool needsBlob = !blob.empty() || needsStoring != 0;
    const std::uint32_t newWord =
        stored | (readOnly ? kAttrReadOnly : 0) | (S_ISDIR(info.st_mode) ? kAttrDirectory : 0);
    const bool blobChanges =
        needsBlob && (blob.empty() || oldWord != newWord || !ParseDosAttribBlob(blob).has_value());

    // Changing a user extended attribute needs write permission (unless
    // privileged): the owner gets it first, and read-only is set last. A
    // failure puts back what was already changed, so the file is left as it was.
    const mode_t original = info.st_mode & 07777;
    mode_t current = original;
    if (!readOnly || blobChanges) {
        if (const int failed = ChangeMode(path, current, current | S_IWUSR))
            return failed;
    }
    if (blobChanges) {
        if (const int failed = WriteBlob(path, EditDosAttribBlob(blob, newWord))) {
            ChangeMode(path, current, original);
            return failed;
        }
    }
    if (readOnly) {
        if (const int failed = ChangeMode(path, current, original & ~kAllWriteBits)) {
            if (blobChanges)
                RestoreBlob(path, blob);
            ChangeMode(path, current, original);
            return failed;
        }
    }
    return 0;
}

} // namespace quorvane
