#include "platform/FileStamp.h"

#include <cerrno>
#include <fcntl.h>

namespace quorvane {
namespace {

// FNV-1a: the handle is opaque bytes; a 64-bit digest keeps the record small,
// and a newcomer matching it by chance is one in 2^64.
std::uint64_t Digest(const unsigned char* bytes, unsigned size, int type) {
    std::uint64_t hash = 1469598103934665603ull ^ static_cast<std::uint32_t>(type);
    for (unsigned i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash == 0 ? 1 : hash;
}

std::uint64_t HandleStamp(int folder, const char* name, bool followLinks) {
    alignas(file_handle) unsigned char room[sizeof(file_handle) + MAX_HANDLE_SZ] = {};
    auto* handle = reinterpret_cast<file_handle*>(room);
    handle->handle_bytes = MAX_HANDLE_SZ;
    int mount = 0;
    int flags = followLinks ? AT_SYMLINK_FOLLOW : 0;
    if (*name == '\0')
        flags |= AT_EMPTY_PATH; // the descriptor's own file
    if (::name_to_handle_at(folder, name, handle, &mount, flags) != 0)
        return 0;
    return Digest(room + sizeof(file_handle), handle->handle_bytes, handle->handle_type);
}

} // namespace

int StatxAt(int folder, const char* name, bool followLinks, struct statx& info) {
    int flags = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
    if (*name == '\0')
        flags |= AT_EMPTY_PATH; // the descriptor's own file
    return ::statx(folder, name, flags, kStatxFields, &info) == 0 ? 0 : errno;
}

std::uint64_t FileStampOf(int folder, const char* name, bool followLinks,
                          const struct statx& info) {
    if ((info.stx_mask & STATX_BTIME) != 0 && info.stx_btime.tv_sec != 0) {
        const auto stamp = static_cast<std::uint64_t>(info.stx_btime.tv_sec) * 1000000000ull +
                           info.stx_btime.tv_nsec;
        if (stamp != 0)
            return stamp;
    }
    return HandleStamp(folder, name, followLinks);
}

} // namespace quorvane
