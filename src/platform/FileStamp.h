#pragma once
// What tells a file from a later one that was given its freed inode number.
// ext4 hands a deleted file's inode to the next file made in that folder at
// once, so device and inode alone would take a newcomer for the file a run
// renamed. The birth time tells them apart; where the file system keeps none,
// the file handle does (it carries the inode's generation on ext4, xfs and
// btrfs, and tmpfs, NFS and most FUSE volumes that give handles change it on
// reuse too).

#include "platform/DirectorySearch.h"

#include <cstdint>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace quorvane {

// The fields the scan and the runs ask statx for: what a stat gives, and
// the birth time where the file system keeps one.
inline constexpr unsigned kStatxFields = STATX_BASIC_STATS | STATX_BTIME;

// The device as a stat's st_dev gives it, in the scan's 32 bits.
inline std::uint32_t DeviceOf(const struct statx& info) {
    return CompactDevice(makedev(info.stx_dev_major, info.stx_dev_minor));
}

// One statx of folder + name (an empty name: the descriptor itself); 0 or an errno value.
int StatxAt(int folder, const char* name, bool followLinks, struct statx& info);

// The stamp of the file statx described: its birth time in nanoseconds where
// there is one, else a digest of its file handle, else 0, which means the
// file cannot be told from a newcomer. `folder` and `name` are only used for
// the handle.
std::uint64_t FileStampOf(int folder, const char* name, bool followLinks, const struct statx& info);

} // namespace quorvane
