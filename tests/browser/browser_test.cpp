#include "support/program_fixture.h"
#include "ui/drive_list.h"
#include "ui/folder_list.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// A started program showing a folder of its own.
class Browser : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(music_.isValid());
        root_ = music_.path();
        program_.WriteSettings("[Kestrin's Tembrel]\nPfad=" + root_.toUtf8() + "/\n");
        window_ = program_.Start();
        ASSERT_EQ(window_->currentFolder, root_ + QStringLiteral("/"));
    }

    void Show(const QString& relative) { ASSERT_TRUE(window_->dirDirs->SetPath(root_ + relative)); }

    void DoubleClick(const QString& entry) {
        window_->lstPath->SetListIndex(Lines(window_->lstPath).indexOf(entry));
        window_->lstPath_DblClick();
    }

    ProgramFolder program_;
    QTemporaryDir music_;
    QString root_;
    std::unique_ptr<frmTembrel> window_;
};

}  // namespace

TEST_F(Browser, ListsFoldersThenAudioFilesSortedCaseBlind) {
    for (const char* name : {"b.WAV", "A.mp3", "Probe.MP3", "Probe.ogg", "notes.txt", ".hidden.mp3",
                             "c.Mp3", "mp3", "x.mp3.bak"}) {
        TouchFile(root_, QString::fromLatin1(name));
    }
    for (const char* name : {"zeta/x", "Alpha/x", ".git/x", "beta/x"}) {
        TouchFile(root_, QString::fromLatin1(name));
    }
    Show(QStringLiteral("/zeta"));
    Show(QString());
    EXPECT_EQ(Lines(window_->lstPath), QStringList({"[..]", "[Alpha]", "[beta]", "[zeta]", "A.mp3",
                                                    "b.WAV", "c.Mp3", "Probe.MP3"}));
    EXPECT_EQ(window_->currentFolder, root_ + QStringLiteral("/"));
}

TEST_F(Browser, EmptyFolderShowsOnlyTheWayUp) {
    ASSERT_TRUE(QDir(root_).mkdir(QStringLiteral("empty")));
    Show(QStringLiteral("/empty"));
    EXPECT_EQ(Lines(window_->lstPath), QStringList({"[..]"}));
}

TEST_F(Browser, TheRootHasNoWayUp) {
    ASSERT_TRUE(window_->dirDirs->SetPath(QStringLiteral("/")));
    EXPECT_EQ(window_->currentFolder, QStringLiteral("/"));
    const QStringList lines = Lines(window_->lstPath);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_NE(lines.first(), QStringLiteral("[..]"));
    EXPECT_TRUE(lines.contains(QStringLiteral("[tmp]")) || lines.contains(QStringLiteral("[usr]")));
    // Up at the root changes nothing.
    window_->cmdBack->click();
    EXPECT_EQ(window_->dirDirs->Path(), QStringLiteral("/"));
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));
}

TEST_F(Browser, EnteringAndLeavingFolders) {
    TouchFile(root_, QStringLiteral("Musik/Live/Probe 1.mp3"));
    TouchFile(root_, QStringLiteral("Musik/[Klammer].mp3"));
    Show(QStringLiteral("/Musik"));
    EXPECT_EQ(Lines(window_->lstPath), QStringList({"[..]", "[Live]", "[Klammer].mp3"}));

    DoubleClick(QStringLiteral("[Live]"));
    EXPECT_EQ(window_->currentFolder, root_ + QStringLiteral("/Musik/Live/"));
    EXPECT_EQ(window_->lstPath->ListIndex(), -1);
    EXPECT_EQ(Lines(window_->lstPath), QStringList({"[..]", "Probe 1.mp3"}));

    DoubleClick(QStringLiteral("[..]"));
    EXPECT_EQ(window_->currentFolder, root_ + QStringLiteral("/Musik/"));

    // A file whose name begins with "[" is taken for a folder and leads nowhere.
    DoubleClick(QStringLiteral("[Klammer].mp3"));
    EXPECT_EQ(window_->currentFolder, root_ + QStringLiteral("/Musik/"));

    window_->cmdBack->click();
    EXPECT_EQ(window_->currentFolder, root_ + QStringLiteral("/"));
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));

    // The root button goes to the mount point of the volume holding the folder.
    window_->cmdRoot->click();
    const QString volume = window_->drvDrives->DriveOf(root_);
    ASSERT_FALSE(volume.isEmpty());
    EXPECT_EQ(window_->dirDirs->Path(), volume);
    EXPECT_EQ(window_->drvDrives->Drive(), volume);
}

TEST_F(Browser, VanishedFolderLeavesTheListAsItWas) {
    TouchFile(root_, QStringLiteral("Musik/Live/a.mp3"));
    Show(QStringLiteral("/Musik"));
    ASSERT_TRUE(QDir(root_ + QStringLiteral("/Musik/Live")).removeRecursively());
    const QStringList before = Lines(window_->lstPath);
    DoubleClick(QStringLiteral("[Live]"));
    EXPECT_EQ(window_->currentFolder, root_ + QStringLiteral("/Musik/"));
    EXPECT_EQ(Lines(window_->lstPath), before);

    // The shown folder itself vanishes: the way up still works.
    ASSERT_TRUE(QDir(root_ + QStringLiteral("/Musik")).removeRecursively());
    DoubleClick(QStringLiteral("[..]"));
    EXPECT_EQ(window_->currentFolder, root_ + QStringLiteral("/"));
}

TEST_F(Browser, UnreadableFolderIsNotEntered) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    TouchFile(root_, QStringLiteral("closed/a.mp3"));
    QFile::setPermissions(root_ + QStringLiteral("/closed"), QFileDevice::WriteOwner);
    DoubleClick(QStringLiteral("[closed]"));
    EXPECT_EQ(window_->currentFolder, root_ + QStringLiteral("/"));
    QFile::setPermissions(root_ + QStringLiteral("/closed"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(Browser, AFileNamedLikeAFolderIsNotEntered) {
    TouchFile(root_, QStringLiteral("fake"));
    EXPECT_FALSE(window_->dirDirs->SetPath(root_ + QStringLiteral("/fake")));
    EXPECT_EQ(window_->currentFolder, root_ + QStringLiteral("/"));
}

TEST_F(Browser, DriveChoiceReturnsToTheFolderLastShownThere) {
    TouchFile(root_, QStringLiteral("Musik/a.mp3"));
    Show(QStringLiteral("/Musik"));
    const QString volume = window_->drvDrives->Drive();
    ASSERT_EQ(volume, window_->drvDrives->DriveOf(root_));
    EXPECT_EQ(window_->drvDrives->CurrentFolderOf(volume), root_ + QStringLiteral("/Musik"));
    // Choosing the shown volume again keeps the folder.
    window_->drvDrives->SetDrive(volume);
    EXPECT_EQ(window_->currentFolder, root_ + QStringLiteral("/Musik/"));
}
