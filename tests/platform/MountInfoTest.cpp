#include "platform/MountInfo.h"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

namespace quorvane {
namespace {

// The mount table as a system with a few FUSE volumes shows it.
const char* const kMountInfo =
    "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
    "44 26 0:39 / /media/fat rw,nosuid - fuse.fusefat fusefat rw,user_id=0,group_id=0\n"
    "45 26 0:40 / /media/nt\\040fs rw,relatime - fuse /tmp/ntfs.img rw,user_id=0\n"
    "46 26 7:0 / /media/stick rw,nosuid shared:7 - fuseblk /dev/loop0 rw,blksize=4096\n"
    "47 26 0:41 / /media/ex rw - fuse.exfat /dev/sdb1 rw\n"
    "48 26 0:42 / /media/win rw - fuse.ntfs-3g /dev/sdc1 rw,windows_names\n"
    "49 26 0:43 / /home/u/remote rw - fuse.sshfs host:/ rw\n";

// Which naming each FUSE volume gets: the real file system's, never a Unix
// folder's for a FAT volume.
struct MountCase {
    unsigned major;
    unsigned minor;
    const char* volumeType; // what the volume's boot sector would show
    const char* fileSystem;
    bool fatLike;
    bool ignoresCase;
    bool asciiOnly;
    bool utf8Only;
};

const MountCase kMountCases[] = {
    {254, 0, "", "ext4", false, false, false, false},
    {0, 39, "", "fuse.fusefat", true, true, true, false},
    {0, 40, "ntfs", "fuse:ntfs", false, false, false, true},
    {7, 0, "exfat", "fuseblk:exfat", true, true, false, true},
    {7, 0, "vfat", "fuseblk:vfat", true, true, false, false},
    {7, 0, "", "fuseblk:unknown", true, false, false, true}, // unknown: FAT's characters
    {0, 41, "", "fuse.exfat", true, true, false, true},
    {0, 42, "", "fuse.ntfs-3g", true, false, false, true},
    {0, 43, "", "fuse.sshfs", false, false, false, false},
};

TEST(MountInfoTest, FuseVolumesGetTheirFileSystemsNaming) {
    for (const MountCase& c : kMountCases) {
        SCOPED_TRACE(c.fileSystem);
        const MountEntry mount = FindMount(kMountInfo, makedev(c.major, c.minor));
        const VolumeNaming naming = NamingOf(mount.type, c.volumeType, mount.superOptions);
        EXPECT_EQ(naming.fileSystem, c.fileSystem);
        EXPECT_EQ(naming.fatLike, c.fatLike);
        EXPECT_EQ(naming.ignoresCase, c.ignoresCase);
        EXPECT_EQ(naming.asciiOnly, c.asciiOnly);
        EXPECT_EQ(naming.utf8Only, c.utf8Only);
    }
    EXPECT_EQ(FindMount(kMountInfo, makedev(0, 40)).source, "/tmp/ntfs.img");
    EXPECT_EQ(FindMount(kMountInfo, makedev(9, 9)).type, "");
    std::string sector(512, '\0');
    EXPECT_EQ(VolumeTypeOfBootSector(sector.replace(3, 8, "EXFAT   ")), "exfat");
    EXPECT_EQ(VolumeTypeOfBootSector(sector.replace(3, 8, "NTFS    ")), "ntfs");
    EXPECT_EQ(VolumeTypeOfBootSector(std::string(512, '\0').replace(82, 5, "FAT32")), "vfat");
}

} // namespace
} // namespace quorvane
