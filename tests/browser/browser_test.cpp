// The file browser in the main window: what it lists and how it moves
// through folders.
#include "app/app_module.h"
#include "browser/folder_listing.h"
#include "support/program_test.h"
#include "ui/drive_list.h"

#include <sys/stat.h>

using Browser = ProgramTest;

TEST_F(Browser, ListsVisibleFoldersThenRecordingsAndMovesThroughFolders) {
    for (const char* name : {"b.WAV", "B.mp3", "A.mp3", "a.mp3", "x.txt", ".hidden.mp3", "zeta/x",
                             "Alpha/Live/Probe 1.mp3", ".git/x", "[Klammer].mp3", "fake"}) {
        WriteBytes(PathOf(name), {});
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
    // Many stars on a long name must not take exponential time.
    EXPECT_FALSE(MatchesPattern(QString(5000, u'a'), {QStringLiteral("*a*a*a*a*a*a*a*a*b")}));
    Open("[Alpha]");
    EXPECT_EQ(window_->currentFolder, PathOf("Alpha/"));
    EXPECT_EQ(window_->lstPath->ListIndex(), -1);
    EXPECT_EQ(Lines(window_->lstPath), QStringList({"[..]", "[Live]"}));
    Open("[..]");
    // A file named like a folder leads nowhere, nor does a folder that is gone.
    Open("[Klammer].mp3");
    ASSERT_TRUE(QDir(PathOf("Alpha")).removeRecursively());
    Open("[Alpha]");
    EXPECT_FALSE(window_->dirDirs->SetPath(PathOf("fake")));
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

// The first folder an installed copy shows, and volumes that come and go.
using Volumes = ProgramTest;

TEST_F(Volumes, InstalledCopiesStartInTheMusicFolderAndTheDriveListFollows) {
    const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(music_.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(programFolder_.path()));
    for (const bool music : {true, false}) {
        QDir(music_.path()).rmdir("Music");
        ASSERT_TRUE(!music || QDir(music_.path()).mkpath("Music"));
        window_ = Main("/usr/bin/tembrel", {}, factory_);
        EXPECT_EQ(window_->currentFolder, PathOf(music ? "Music/" : ""));
    }
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", config);

    // A volume that goes takes the folder shown on it along.
    Restart();
    const QString stick = PathOf("stick");
    QDir().mkpath(stick + "/Takes");
    window_->VolumesChanged({"/", stick});
    window_->drvDrives->SetDrive(stick);
    window_->dirDirs_Change();
    Open("[Takes]");
    EXPECT_EQ(window_->drvDrives->count(), 2);
    QDir(stick).removeRecursively();
    window_->VolumesChanged({"/"});
    EXPECT_EQ(window_->drvDrives->count(), 1);
    EXPECT_EQ(window_->drvDrives->Drive(), "/");
    EXPECT_EQ(window_->currentFolder, music_.path() + "/");
}
