// Saves into a full or read-only place: the user is told, and the file saved
// before stays whole. The place is a small tmpfs mounted for the test, since
// file permissions do not stop root.
#include "app/safe_save.h"
#include "app/settings_store.h"
#include "support/player_fixture.h"
#include "ui/frm_lyrics.h"
#include "ui/list_box.h"
#include "ui/title_box.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kSection = QStringLiteral("Kestrin's Tembrel");

class FullPlace : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        place_ = QFile::encodeName(music_.path());
        if (::mount("tmpfs", place_.constData(), "tmpfs", 0, "size=64k") != 0) {
            GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                         << "); a full or read-only place needs one, as root ignores permissions";
        }
        mounted_ = true;
    }

    void TearDown() override {
        window_.reset();
        if (mounted_) {
            ::umount2(place_.constData(), MNT_DETACH);
        }
    }

    // Saves a cue file, a lyrics file and settings; then fills the place or
    // makes it read-only and saves each again: the user hears of the cue and lyrics failures, and
    // all three files keep their bytes.
    void CheckSavesKeepOldFiles(bool full) {
        AddRecording(QStringLiteral("Probe.mp3"), 100);
        Open(QStringLiteral("Probe.mp3"));
        ASSERT_NE(Engine(), nullptr);
        Play(5);
        window_->txtCueTitle->setText(QStringLiteral("Vers 1"));
        window_->cmdCue1->click();
        const QString cueFile = PathOf(QStringLiteral("Probe.cue"));
        const QByteArray oldCues = ReadBytes(cueFile);
        ASSERT_TRUE(oldCues.contains("Vers 1"));

        window_->Command4_Click();
        ASSERT_FALSE(window_->lyricsFile.isEmpty());
        window_->Lyrics()->txtLyrics->setPlainText(QStringLiteral("C  G\nLa la"));
        window_->Lyrics()->mnuSave->trigger();
        const QByteArray oldLyrics = ReadBytes(window_->lyricsFile);
        ASSERT_TRUE(oldLyrics.contains("La la"));

        const QString settings = PathOf(QStringLiteral("tembrel.ini"));
        ASSERT_TRUE(
            WriteSetting(kSection, QStringLiteral("Pfad"), QStringLiteral("/alt/"), settings));
        const QByteArray oldSettings = ReadBytes(settings);
        ASSERT_TRUE(messages_.texts().isEmpty());

        if (full) {
            Fill();
        } else {
            MakeReadOnly();
        }
        Play(3);
        window_->txtCueTitle->setText(QStringLiteral("Vers 2"));
        window_->cmdCue1->click();
        EXPECT_EQ(ReadBytes(cueFile), oldCues);
        window_->Lyrics()->txtLyrics->setPlainText(QStringLiteral("C  G\nLa la la"));
        window_->Lyrics()->mnuSave->trigger();
        EXPECT_EQ(ReadBytes(window_->lyricsFile), oldLyrics);
        EXPECT_FALSE(
            WriteSetting(kSection, QStringLiteral("Pfad"), QStringLiteral("/neu/"), settings));
        EXPECT_EQ(ReadBytes(settings), oldSettings);
        EXPECT_EQ(messages_.texts(),
                  QStringList({QStringLiteral("Fehler beim Schreiben der Cue-Datei. "),
                               QStringLiteral("Fehler beim Schreiben der Datei. ")}));
    }

    // Fills the place up to its last byte.
    void Fill() {
        const int fd = ::open((place_ + "/filler").constData(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), block.size()) > 0) {
        }
        while (::write(fd, block.constData(), 1) > 0) {
        }
        ::close(fd);
    }

    // Makes the place read-only.
    void MakeReadOnly() {
        ASSERT_EQ(::mount("tmpfs", place_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"),
                  0)
            << std::strerror(errno);
    }

    QByteArray place_;
    bool mounted_ = false;
};

}  // namespace

TEST_F(FullPlace, SavesIntoAFullPlaceKeepTheOldFiles) {
    CheckSavesKeepOldFiles(true);
}

TEST_F(FullPlace, SavesIntoAReadOnlyPlaceKeepTheOldFiles) {
    CheckSavesKeepOldFiles(false);
}

// A write the system cuts short, here by the file-size limit (which binds
// root too, and needs no mount), fails with its reason and keeps the old file,
// whether the file is replaced or, having a second name, written in place.
TEST(ShortWrite, FailsWithItsReasonAndKeepsTheOldFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray old("[0]00:00:00 - Start Point\r\n\r\n");
    for (const bool linked : {false, true}) {
        const QString path =
            dir.filePath(linked ? QStringLiteral("Linked.cue") : QStringLiteral("Probe.cue"));
        ASSERT_TRUE(WriteFileAtomically(path, old));
        if (linked) {
            ASSERT_EQ(::link(QFile::encodeName(path).constData(),
                             QFile::encodeName(path + QStringLiteral(".bak")).constData()),
                      0);
        }

        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = 4096;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        QString error;
        const bool written = WriteFileAtomically(path, QByteArray(10000, 'x'), &error);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        EXPECT_FALSE(written) << linked;
        EXPECT_EQ(error.toStdString(), "file too large while writing " + path.toStdString());
        EXPECT_EQ(ReadBytes(path), old) << linked;
    }
    // No temporary is left beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}
