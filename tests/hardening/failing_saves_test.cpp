// Saves that fail or are killed: the user is told, and the file saved before
// stays whole, with nothing left beside it.
#include "app/safe_save.h"
#include "app/settings_store.h"
#include "support/program_test.h"
#include "ui/frm_lyrics.h"
#include "ui/title_box.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

// The music folder becomes a small tmpfs (file permissions do not stop root),
// which is then filled up (true) or made read-only (false).
class FullPlace : public ProgramTest, public ::testing::WithParamInterface<bool> {
protected:
    void TearDown() override {
        window_.reset();
        ::umount2(place_.constData(), MNT_DETACH);
    }
    const QByteArray place_ = QFile::encodeName(music_.path());
};

TEST_P(FullPlace, SavesKeepTheOldFilesAndTellTheUser) {
    if (::mount("tmpfs", place_.constData(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    }
    AddRecording(QStringLiteral("Probe.mp3"), 100);
    Open(QStringLiteral("Probe.mp3"));
    window_->Command4->click();
    const QString settings = PathOf(QStringLiteral("tembrel.ini"));
    const auto save = [&](const QString& text) {
        Play(3);
        window_->txtCueTitle->setText(text);
        window_->cmdCue1->click();
        window_->Lyrics()->txtLyrics->setPlainText(text);
        window_->Lyrics()->mnuSave->trigger();
        return WriteSetting(kSection, QStringLiteral("Pfad"), text, settings);
    };
    ASSERT_TRUE(save(QStringLiteral("Vers 1")));
    const QStringList files = {PathOf(QStringLiteral("Probe.cue")), window_->lyricsFile, settings};
    QByteArrayList before;
    for (const QString& file : files) {
        before << ReadBytes(file);
        ASSERT_TRUE(before.last().contains("Vers 1")) << file.toStdString();
    }
    if (GetParam()) {
        const int fd = ::open((place_ + "/filler").constData(), O_WRONLY | O_CREAT, 0600);
        for (const int size : {4096, 1}) {
            while (::write(fd, QByteArray(size, 'x').constData(), size) > 0) {
            }
        }
        ::close(fd);
    } else {
        ASSERT_EQ(::mount("tmpfs", place_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"),
                  0);
    }
    EXPECT_FALSE(save(QStringLiteral("Vers 2")));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ReadBytes(files[i]), before[i]) << files[i].toStdString();
    }
    EXPECT_EQ(messages_.texts(), QStringList({kCueWriteError, kWriteError}));
}

INSTANTIATE_TEST_SUITE_P(FullOrReadOnly, FullPlace, ::testing::Bool());

using ShortWrite = ProgramTest;

// A write the system cuts short, here by the file-size limit (which binds
// root too), fails with its reason and keeps the old file, whether the file
// is replaced or, having a second name, written in place.
TEST_F(ShortWrite, FailsWithItsReasonAndKeepsTheOldFile) {
    for (const QString& path : {PathOf(QStringLiteral("a.cue")), PathOf(QStringLiteral("b.cue"))}) {
        WriteBytes(path, "old");
        if (path.endsWith(QStringLiteral("b.cue"))) {
            std::filesystem::create_hard_link(path.toStdString(), path.toStdString() + ".bak");
        }
        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit limited{4096, saved.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        QString error;
        EXPECT_FALSE(WriteFileAtomically(path, QByteArray(10000, 'x'), &error));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(error, QStringLiteral("file too large while writing ") + path);
        EXPECT_EQ(ReadBytes(path), "old") << path.toStdString();
    }
    EXPECT_EQ(QDir(music_.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

using KilledSave = ProgramTest;

// A process saving one file that is replaced and one that is written in place
// (it has a second name) is killed again and again: the replaced file always
// holds one whole version, and nothing visible is left beside the files.
TEST_F(KilledSave, LeavesAWholeFileAndNoVisibleLitter) {
    const QString shared = QStringLiteral("/dev/shm");  // syncs cost nothing there
    QTemporaryDir dir(QFileInfo(shared).isWritable() ? shared + QStringLiteral("/tembrel-XXXXXX")
                                                     : QString());
    const QString replaced = dir.filePath(QStringLiteral("a.cue"));
    const QString inPlace = dir.filePath(QStringLiteral("b.cue"));
    ASSERT_TRUE(WriteFileAtomically(replaced, "0;") && WriteFileAtomically(inPlace, "0;"));
    std::filesystem::create_hard_link(inPlace.toStdString(), inPlace.toStdString() + ".bak");
    QElapsedTimer clock;
    clock.start();
    int newest = 0;
    for (int run = 0; clock.elapsed() < 1500; ++run) {
        QProcess loop;
        loop.start(QStringLiteral(SAVE_LOOP_BINARY),
                   {replaced, inPlace, QString::number(newest + 1)});
        ASSERT_TRUE(loop.waitForStarted(10000));
        ::usleep(run * 7919 % 20000);
        loop.kill();
        ASSERT_TRUE(loop.waitForFinished(10000));
        const QByteArray found = ReadBytes(replaced);
        const int version = found.left(found.indexOf(';')).toInt();
        ASSERT_EQ(found, QByteArray::number(version).append(';').repeated(1 + version % 500));
        newest = std::max(newest, version);
    }
    EXPECT_GT(newest, 10);  // the kills fell between many saves
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList({"a.cue", "b.cue", "b.cue.bak"}));
}
