// Saves that fail or are killed keep the old file whole and tell the user;
// hostile cue files and FIFOs neither fail the program nor make it wait.
#include "app/safe_save.h"
#include "app/settings_store.h"
#include "support/program_test.h"

#include <QElapsedTimer>
#include <QProcess>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
    Open("Probe.mp3");
    window_->Command4->click();
    const QString settings = PathOf("tembrel.ini");
    const auto save = [&](const QString& text) {
        Play(3);
        window_->txtCueTitle->setText(text);
        window_->cmdCue1->click();
        window_->Lyrics()->txtLyrics->setPlainText(text);
        window_->Lyrics()->mnuSave->trigger();
        return WriteSetting(kSection, QStringLiteral("Pfad"), text, settings);
    };
    ASSERT_TRUE(save(QStringLiteral("Vers 1")));
    const QStringList files = {PathOf("Probe.cue"), window_->lyricsFile, settings};
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

using Hardening = ProgramTest;

// A write cut short by the file-size limit (which binds root too) fails with
// its reason and keeps the old file, replaced or (a second name) written in place.
TEST_F(Hardening, AShortWriteFailsWithItsReasonAndKeepsTheOldFile) {
    for (const QString& path : {PathOf("a.cue"), PathOf("b.cue")}) {
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

// A process saving a file that is replaced and one written in place is killed
// again and again: one whole version always, nothing visible left beside.
TEST_F(Hardening, AKilledSaveLeavesAWholeFileAndNoVisibleLitter) {
    const QString shared = QStringLiteral("/dev/shm");  // syncs cost nothing there
    QTemporaryDir dir(QFileInfo(shared).isWritable() ? shared + QStringLiteral("/tembrel-XXXXXX")
                                                     : QString());
    const QString replaced = dir.filePath("a.cue");
    const QString inPlace = dir.filePath("b.cue");
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

// Absurd seconds and titles in a cue file can be played, navigated and edited;
// a FIFO named like a recording on the command line holds nothing up.
TEST_F(Hardening, AbsurdCueFilesAndFifosNeitherFailNorBlock) {
    const char cues[] =
        "[0]00:00:00 - Start Point\r\n[2147483647]24:59:59 - ..\r\n"
        "[-2147483648]\xff\xfe\x00 - \x81\r\n[6]]]]\r\n\r\n";
    OpenWithCues(QStringLiteral("Probe.mp3"), 60, QByteArray(cues, sizeof cues - 1));
    ASSERT_EQ(window_->lstCue->ListCount(), 4);
    window_->mnuRepeat->trigger();
    for (int i = 0; i < 4; ++i) {
        Choose(i);
        for (QPushButton* button : {window_->Command4, window_->Command2, window_->Command3,
                                    window_->cmdNext1, window_->cmdPrev1}) {
            button->click();
            Play(1.5);
        }
        DragTo(59);
        Play(70);
        window_->txtCueTitle->setText(QStringLiteral("Neu ") + QString(300, u'ä'));
        QTest::keyClick(window_->txtCueTitle, Qt::Key_Return);
    }
    window_->cmdCue1->click();
    EXPECT_EQ(window_->lstCue->ListCount(), 5);
    UseRealEngine();
    ASSERT_EQ(::mkfifo(QFile::encodeName(PathOf("y.mp3")).constData(), 0600), 0);
    Restart({PathOf("y.mp3")});
    EXPECT_EQ(window_->media, nullptr);
    EXPECT_EQ(messages_.texts(), QStringList());
}
