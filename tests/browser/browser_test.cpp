// The file browser: patterns, volumes, and moving through folders in the
// main window.
#include "app/path_helpers.h"
#include "browser/folder_listing.h"
#include "support/program_test.h"
#include "ui/drive_list.h"
#include "ui/folder_list.h"
#include "ui/list_box.h"

#include <QDir>
#include <QPushButton>

#include <sys/stat.h>

using Browser = ProgramTest;

TEST(MatchesPattern, WildcardsIgnoreLetterCase) {
    const std::tuple<const char*, QStringList, bool> cases[] = {
        {"Probe.MP3", {"*.mp3;*.wav"}, true},
        {"Ärger.wAv", {"*.mp3;*.wav"}, true},
        {"a.mp3.txt", {"*.mp3"}, false},
        {"mp3", {"*.mp3"}, false},
        {"ab", {"x", "a?"}, true},
        {"abc", {"a?"}, false},
        {"a.mp3", {}, false}};
    for (const auto& [name, patterns, matches] : cases) {
        EXPECT_EQ(MatchesPattern(QString::fromUtf8(name), patterns), matches) << name;
    }
    // Many stars on a long name must not take exponential time.
    EXPECT_FALSE(MatchesPattern(QString(5000, u'a'), {QStringLiteral("*a*a*a*a*a*a*a*a*b")}));
}

TEST(Volumes, MountPointsOfDisksAndSharesAndTheLongestHoldingOne) {
    const QList<MountEntry> mounts = ParseMounts(
        "overlay / overlay rw 0 0\nproc /proc proc rw 0 0\ntmpfs /tmp tmpfs rw 0 0\n"
        "/dev/sdb1 /media/My\\040Music\\134x vfat rw 0 0\ndamaged-line\n\n"
        "/dev/loop3 /mnt/image iso9660 ro 0 0\n/dev/sdd1 /run/user/1000/x ext4 rw 0 0\n"
        "/dev/sdc1 /run/media/anna/USB vfat rw 0 0\n/dev/sda2 /home ext4 rw 0 0\n"
        "/dev/sda2 /home ext4 rw 0 0\n/dev/sda1 /boot/efi vfat rw 0 0\n"
        "nas:/music /mnt/nas nfs rw 0 0");
    ASSERT_EQ(mounts.size(), 11);
    EXPECT_EQ(mounts[3].device + u'|' + mounts[3].fsType, QStringLiteral("/dev/sdb1|vfat"));
    EXPECT_EQ(UserVolumes(mounts),
              QStringList({"/", "/home", "/media/My Music\\x", "/mnt/nas", "/run/media/anna/USB"}));
    // The kernel's table reports a size of 0; it is still read whole.
    EXPECT_FALSE(ParseMounts(ReadFileBytes(QStringLiteral("/proc/self/mounts")).value()).isEmpty());
    const QStringList volumes = {"/", "/media/usb", "/media/usb/in", "/mnt/nas/"};
    const std::pair<const char*, const char*> cases[] = {
        {"/home/anna/", "/"},       {"/media/usb/", "/media/usb"},        {"/media/usb2/x", "/"},
        {"/mnt/nas/x", "/mnt/nas"}, {"/media/usb/in/x", "/media/usb/in"}, {"relative", ""}};
    for (const auto& [path, volume] : cases) {
        EXPECT_EQ(VolumeOf(QString::fromUtf8(path), volumes), QString::fromUtf8(volume)) << path;
    }
}

TEST_F(Browser, ListsVisibleFoldersThenRecordingsAndMovesThroughFolders) {
    for (const char* name : {"b.WAV", "B.mp3", "A.mp3", "a.mp3", "x.ogg", ".hidden.mp3", "zeta/x",
                             "Alpha/Live/Probe 1.mp3", ".git/x", "[Klammer].mp3", "fake"}) {
        WriteBytes(PathOf(QString::fromUtf8(name)), {});
    }
    ASSERT_TRUE(QFile::link(PathOf("zeta"), PathOf("to zeta")));
    ASSERT_TRUE(QFile::link(PathOf("A.mp3"), PathOf("link.mp3")));
    ASSERT_TRUE(QFile::link(PathOf("missing"), PathOf("broken.mp3")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(PathOf("pipe.mp3")).constData(), 0600), 0);
    window_->cmdBack->click();
    Open(QString(u'[' + QDir(music_.path()).dirName() + u']'));
    const QStringList shown = {"[..]",  "[Alpha]", "[to zeta]", "[zeta]", "[Klammer].mp3",
                               "A.mp3", "a.mp3",   "B.mp3",     "b.WAV",  "link.mp3"};
    EXPECT_EQ(Lines(window_->lstPath), shown);
    Open(QStringLiteral("[Alpha]"));
    EXPECT_EQ(window_->currentFolder, PathOf(QStringLiteral("Alpha/")));
    EXPECT_EQ(window_->lstPath->ListIndex(), -1);
    EXPECT_EQ(Lines(window_->lstPath), QStringList({"[..]", "[Live]"}));
    Open(QStringLiteral("[..]"));
    // A file named like a folder leads nowhere, nor does a folder that is gone.
    Open(QStringLiteral("[Klammer].mp3"));
    ASSERT_TRUE(QDir(PathOf(QStringLiteral("Alpha"))).removeRecursively());
    Open(QStringLiteral("[Alpha]"));
    EXPECT_FALSE(window_->dirDirs->SetPath(PathOf(QStringLiteral("fake"))));
    EXPECT_EQ(window_->currentFolder, music_.path() + u'/');
    EXPECT_EQ(Lines(window_->lstPath), shown);

    // The root button goes to the mount point of the volume that holds the
    // folder; "/" has no way up.
    const QString volume = window_->drvDrives->Drive();
    EXPECT_EQ(window_->drvDrives->CurrentFolderOf(volume), music_.path());
    window_->cmdRoot->click();
    EXPECT_EQ(window_->dirDirs->Path(), volume);
    ASSERT_TRUE(window_->dirDirs->SetPath(QStringLiteral("/")));
    window_->cmdBack->click();
    EXPECT_EQ(window_->currentFolder, QStringLiteral("/"));
    EXPECT_NE(Lines(window_->lstPath).value(0), QStringLiteral("[..]"));
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));
}
