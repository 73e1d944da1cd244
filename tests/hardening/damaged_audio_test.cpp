// Damaged and odd recordings opened through the main window on the real
// engine: every open ends quickly, either playing or failing silently with no
// engine and an empty cue list, and the window's tick keeps running.
#include "engine/gst_engine.h"
#include "support/message_watcher.h"
#include "support/program_fixture.h"
#include "support/test_audio.h"
#include "ui/folder_list.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

namespace {

// Writes bytes to a new file; false when it cannot be written.
bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An ID3v2 tag of the given body size (sizes are stored 7 bits a byte).
QByteArray Id3Tag(quint32 bodyBytes) {
    QByteArray tag("ID3\x03\x00\x00", 6);
    for (int shift = 21; shift >= 0; shift -= 7) {
        tag.append(static_cast<char>((bodyBytes >> shift) & 0x7F));
    }
    return tag + QByteArray(bodyBytes, '\0');
}

// A WAV of the 12-second test recording whose header claims 4 GiB of samples.
QByteArray WavClaimingHugeData() {
    QByteArray wav = ReadBytes(Files().wav);
    const qsizetype data = wav.indexOf("data");
    if (data < 0) {
        return {};
    }
    for (int i = 0; i < 4; ++i) {
        wav[data + 4 + i] = '\xF0';
        wav[4 + i] = '\xFF';
    }
    return wav;
}

// How the damaged file is made: its name, a function that creates it in the
// folder, and whether the open plays it (what is left of it) or refuses it.
struct Damage {
    const char* label;
    const char* name;
    bool (*make)(const QString& path);
    bool plays;
};

const Damage kDamages[] = {
    {"Empty", "x.mp3", [](const QString& p) { return WriteBytes(p, {}); }, false},
    {"TruncatedMp3", "x.mp3",
     [](const QString& p) {
         const QByteArray mp3 = ReadBytes(Files().mp3Cbr);
         return !mp3.isEmpty() && WriteBytes(p, mp3.left(mp3.size() * 2 / 5 + 123));
     },
     true},
    {"RandomBytes", "x.mp3",
     [](const QString& p) {
         QRandomGenerator random(8);
         QByteArray bytes(256 * 1024, '\0');
         for (char& byte : bytes) {
             byte = static_cast<char>(random.bounded(256));
         }
         return WriteBytes(p, bytes);
     },
     false},
    {"TextAsWav", "x.wav",
     [](const QString& p) { return WriteBytes(p, QByteArray("Hallo, das ist kein Ton.\n", 25)); },
     false},
    {"WavClaimingHugeData", "x.wav",
     [](const QString& p) { return WriteBytes(p, WavClaimingHugeData()); }, true},
    {"Mp3BehindBigTag", "x.mp3",
     [](const QString& p) { return WriteBytes(p, Id3Tag(1 << 20) + ReadBytes(Files().mp3Vbr)); },
     true},
    {"CueFileIsAFifo", "x.wav",
     [](const QString& p) {
         const QString cue = p.left(p.size() - 3) + QStringLiteral("cue");
         return QFile::copy(Files().wav, p) &&
                ::mkfifo(QFile::encodeName(cue).constData(), 0600) == 0;
     },
     false},
    {"Fifo", "x.mp3",
     [](const QString& p) { return ::mkfifo(QFile::encodeName(p).constData(), 0600) == 0; }, false},
};

class DamagedAudio : public ::testing::TestWithParam<Damage> {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitGstreamer());
        ASSERT_TRUE(music_.isValid());
        program_.WriteSettings("[Kestrin's Tembrel]\nPfad=" + music_.path().toUtf8() + "/\n");
        StartWindow();
    }

    // Starts the program anew, so that it lists the music folder as it is now.
    void StartWindow() {
        window_.reset();
        window_ = program_.Start({}, [] { return CreateGstEngine(MakeClockSink()); });
        ASSERT_TRUE(window_->Timer1->isActive());
    }

    // Double-clicks an entry of the file list and returns how long it took.
    qint64 DoubleClick(const QString& entry) {
        const int index = Lines(window_->lstPath).indexOf(entry);
        EXPECT_GE(index, 0) << entry.toStdString();
        window_->lstPath->SetListIndex(index);
        QElapsedTimer timer;
        timer.start();
        window_->lstPath_DblClick();
        return timer.elapsed();
    }

    // True when the window's tick fires on time during the next half second.
    bool TicksGoOn() {
        QSignalSpy ticks(window_->Timer1, &QTimer::timeout);
        QTest::qWait(500);
        return ticks.count() >= 10;
    }

    ProgramFolder program_;
    QTemporaryDir music_;
    std::unique_ptr<frmTembrel> window_;
    MessageWatcher messages_;
};

}  // namespace

TEST_P(DamagedAudio, OpenEndsQuicklyPlayingOrFailingSilently) {
    const Damage& damage = GetParam();
    const QString name = QString::fromLatin1(damage.name);
    ASSERT_TRUE(damage.make(music_.filePath(name)));
    window_->dirDirs_Change();
    if (!Lines(window_->lstPath).contains(name)) {
        // Special files the browser does not list cannot be opened from it.
        EXPECT_EQ(QString::fromLatin1(damage.label), QStringLiteral("Fifo"));
        EXPECT_TRUE(TicksGoOn());
        return;
    }

    EXPECT_LT(DoubleClick(name), 3000);
    EXPECT_TRUE(messages_.texts().isEmpty()) << messages_.texts().join(u'|').toStdString();
    ASSERT_EQ(window_->media != nullptr, damage.plays);
    if (window_->media) {
        const double start = window_->media->CurrentPosition().value_or(-1);
        EXPECT_TRUE(TicksGoOn());
        EXPECT_GT(window_->media->CurrentPosition().value_or(-1), start);
        EXPECT_LE(window_->H1->Max(), 12);
        EXPECT_EQ(window_->lstCue->ListCount(), 1);
    } else {
        EXPECT_EQ(window_->lstCue->ListCount(), 0);
        EXPECT_TRUE(TicksGoOn());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedAudio, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.label); });

// A folder whose name looks like a recording is entered, not opened.
TEST_F(DamagedAudio, AFolderNamedLikeARecordingIsEntered) {
    ASSERT_TRUE(QDir(music_.path()).mkdir(QStringLiteral("x.mp3")));
    StartWindow();
    EXPECT_LT(DoubleClick(QStringLiteral("[x.mp3]")), 3000);
    EXPECT_EQ(window_->media, nullptr);
    EXPECT_EQ(window_->dirDirs->Path(), QDir(music_.filePath(QStringLiteral("x.mp3"))).path());
    EXPECT_TRUE(messages_.texts().isEmpty());
    EXPECT_TRUE(TicksGoOn());
}

// A FIFO or a folder named like a recording, given on the command line, is not
// opened and does not hold up the start.
TEST_F(DamagedAudio, SpecialFilesOnTheCommandLineAreNotOpened) {
    const QString fifo = music_.filePath(QStringLiteral("x.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir(music_.path()).mkdir(QStringLiteral("y.mp3")));
    for (const QString& path : {fifo, music_.filePath(QStringLiteral("y.mp3"))}) {
        window_.reset();
        QElapsedTimer timer;
        timer.start();
        window_ = program_.Start({path}, [] { return CreateGstEngine(MakeClockSink()); });
        EXPECT_LT(timer.elapsed(), 3000) << path.toStdString();
        EXPECT_EQ(window_->media, nullptr) << path.toStdString();
        EXPECT_EQ(window_->lstCue->ListCount(), 0);
        EXPECT_TRUE(TicksGoOn());
    }
    EXPECT_TRUE(messages_.texts().isEmpty()) << messages_.texts().join(u'|').toStdString();
}
