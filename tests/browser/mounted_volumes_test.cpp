#include "browser/mounted_volumes.h"

#include "app/path_helpers.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseMounts, ReadsFieldsAndDecodesEscapes) {
    const QByteArray table =
        "/dev/sda1 / ext4 rw,relatime 0 0\n"
        "/dev/sdb1 /media/My\\040Music\\134x vfat rw 0 0\n"
        "damaged-line\n"
        "\n"
        "server:/share /mnt/nas nfs4 rw 0 0";
    const QList<MountEntry> entries = ParseMounts(table);
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].device, QStringLiteral("/dev/sda1"));
    EXPECT_EQ(entries[0].mountPoint, QStringLiteral("/"));
    EXPECT_EQ(entries[0].fsType, QStringLiteral("ext4"));
    EXPECT_EQ(entries[1].mountPoint, QStringLiteral("/media/My Music\\x"));
    EXPECT_EQ(entries[2].fsType, QStringLiteral("nfs4"));
    EXPECT_TRUE(ParseMounts(QByteArray("\\999 \\04 x\n\0\0\0", 15)).size() <= 1);
}

TEST(UserVolumes, KeepsDisksAndSharesOnly) {
    const QList<MountEntry> mounts = ParseMounts(
        "overlay / overlay rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "tmpfs /tmp tmpfs rw 0 0\n"
        "/dev/sda2 /home ext4 rw 0 0\n"
        "/dev/sda1 /boot/efi vfat rw 0 0\n"
        "/dev/loop3 /mnt/image iso9660 ro 0 0\n"
        "/dev/sdc1 /run/media/anna/USB vfat rw 0 0\n"
        "/dev/sdd1 /run/user/1000/x ext4 rw 0 0\n"
        "/dev/sdb1 /media/usb2 vfat rw 0 0\n"
        "/dev/sdb1 /media/usb2 vfat rw 0 0\n"
        "/dev/vda1 /etc/hosts ext4 rw 0 0\n"
        "/dev/sde1 /snap/core/1 squashfs ro 0 0\n"
        "nas:/music /mnt/nas nfs rw 0 0\n"
        "//nas/share /mnt/smb cifs rw 0 0\n"
        "anna@host: /mnt/ssh fuse.sshfs rw 0 0\n"
        "/dev/mapper/x /sys/kernel ext4 rw 0 0\n"
        "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
        "/dev/sdf1 /srv/music/ ext4 rw 0 0\n");
    EXPECT_EQ(UserVolumes(mounts), QStringList({"/", "/home", "/media/usb2", "/mnt/nas", "/mnt/smb",
                                                "/mnt/ssh", "/run/media/anna/USB", "/srv/music"}));
    EXPECT_EQ(UserVolumes({}), QStringList({"/"}));
}

TEST(UserVolumes, ThisMachineAlwaysHasTheRootFirst) {
    // The kernel's table reports a size of 0; it must still be read whole.
    const std::optional<QByteArray> table = ReadFileBytes(QStringLiteral("/proc/self/mounts"));
    ASSERT_TRUE(table.has_value());
    EXPECT_FALSE(ParseMounts(*table).isEmpty());

    const QStringList volumes = MountedVolumes();
    ASSERT_FALSE(volumes.isEmpty());
    EXPECT_EQ(volumes.first(), QStringLiteral("/"));
    EXPECT_EQ(volumes.count(QStringLiteral("/")), 1);
}

TEST(VolumeOf, TakesTheLongestHoldingVolume) {
    const QStringList volumes = {"/", "/media/usb", "/media/usb/inner", "/mnt/nas/"};
    struct Case {
        const char* path;
        const char* volume;
    };
    const Case cases[] = {
        {"/home/anna/Musik/", "/"},    {"/media/usb", "/media/usb"},
        {"/media/usb/", "/media/usb"}, {"/media/usb/Live/a.mp3", "/media/usb"},
        {"/media/usb2/Live", "/"},     {"/media/usb/inner/x", "/media/usb/inner"},
        {"/mnt/nas/x", "/mnt/nas"},    {"/", "/"},
        {"relative/path", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VolumeOf(QString::fromUtf8(c.path), volumes), QString::fromUtf8(c.volume))
            << c.path;
    }
    EXPECT_EQ(VolumeOf(QStringLiteral("/x"), {}), QString());
}

}  // namespace
