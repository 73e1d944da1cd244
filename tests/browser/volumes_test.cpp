// The first folder an installed copy shows, and volumes that come and go.
#include "app/app_module.h"
#include "support/program_test.h"
#include "ui/drive_list.h"

#include <QDir>

using Volumes = ProgramTest;

TEST_F(Volumes, AnInstalledCopyStartsInTheMusicFolderElseAtHome) {
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
}

TEST_F(Volumes, TheDriveListFollowsAndAFolderThatWentGivesWay) {
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
