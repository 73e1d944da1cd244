#include "engine/gst_engine.h"
#include "engine/decoders/mp3_length.h"
#include "support/test_audio.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <future>
#include <random>
#include <thread>

namespace {

std::unique_ptr<MediaEngine> RenderWithTap(const QString& path, SampleTap& tap) {
    EXPECT_TRUE(InitGstreamer());
    auto engine = CreateGstEngine(tap.sink());
    if (!engine->RenderFile(path)) {
        return nullptr;
    }
    return engine;
}

// Samples that differ between what was played after a seek to whole second
// `second` and the stream decoded from the start.
int Mismatches(const std::vector<float>& played, const std::vector<float>& all, int second,
               int rate = 44100) {
    std::size_t at = std::size_t(second) * rate * 2;
    if (played.size() < 4096 || all.size() < at + 4096) {
        return -1;
    }
    int mismatches = 0;
    for (std::size_t i = 0; i < 4096; ++i) {
        mismatches += played[i] != all[at + i];
    }
    return mismatches;
}

// The whole decoded stream, played from the start.
std::vector<float> DecodeAll(const QString& path) {
    SampleTap tap;
    auto engine = RenderWithTap(path, tap);
    if (engine == nullptr || !engine->Run()) {
        return {};
    }
    return tap.PullAll();
}

TEST(GstEngineLength, MatchesTheDecodedStream) {
    for (const QString& path : {Files().wav, Files().mp3CbrXing, Files().mp3Cbr, Files().mp3VbrXing,
                                Files().mp3Vbr, Files().mp3Mono}) {
        SCOPED_TRACE(path.toStdString());
        SampleTap tap;
        auto engine = RenderWithTap(path, tap);
        ASSERT_NE(engine, nullptr);
        std::optional<double> length = engine->Duration();
        ASSERT_TRUE(length.has_value());
        std::vector<float> all = DecodeAll(path);
        int rate = path == Files().mp3Mono ? 22050 : 44100;
        EXPECT_NEAR(*length, double(all.size() / 2) / rate, 1e-9);
    }
}

TEST(GstEngineSeek, LandsOnTheExactSampleOfTheDecodedStreamInEveryState) {
    for (const QString& path : {Files().wav, Files().mp3Vbr, Files().mp3CbrXing}) {
        SCOPED_TRACE(path.toStdString());
        std::vector<float> all = DecodeAll(path);
        ASSERT_GE(all.size(), 12u * 44100 * 2);
        SampleTap tap;
        auto engine = RenderWithTap(path, tap);
        ASSERT_NE(engine, nullptr);

        // Before playing, while paused, while playing, and after the end.
        ASSERT_TRUE(engine->SetCurrentPosition(7));
        EXPECT_EQ(engine->CurrentPosition(), 7.0);
        ASSERT_TRUE(engine->Run());
        EXPECT_EQ(Mismatches(tap.Pull(2048), all, 7), 0);
        EXPECT_NEAR(tap.firstTime(), 7.0, 1e-6);

        ASSERT_TRUE(engine->Pause());
        ASSERT_TRUE(engine->SetCurrentPosition(1));
        EXPECT_EQ(engine->CurrentPosition(), 1.0);
        ASSERT_TRUE(engine->Run());
        EXPECT_EQ(Mismatches(tap.Pull(2048), all, 1), 0);

        ASSERT_TRUE(engine->SetCurrentPosition(11));
        EXPECT_EQ(Mismatches(tap.Pull(2048), all, 11), 0);

        ASSERT_TRUE(engine->SetCurrentPosition(100));
        tap.PullAll();
        EXPECT_EQ(engine->CurrentPosition(), engine->Duration());
        ASSERT_TRUE(engine->SetCurrentPosition(0));
        EXPECT_EQ(Mismatches(tap.Pull(2048), all, 0), 0);
    }
}

TEST(GstEngineSeek, IsExactFarIntoALongVbrFileWithoutHeader) {
    std::vector<float> all = DecodeAll(LongMp3());
    ASSERT_GE(all.size(), 180u * 44100 * 2);
    SampleTap tap;
    auto engine = RenderWithTap(LongMp3(), tap);
    ASSERT_NE(engine, nullptr);
    EXPECT_NEAR(*engine->Duration(), double(all.size() / 2) / 44100, 1e-9);
    for (int target : {170, 95, 3, 179, 60}) {
        SCOPED_TRACE(target);
        ASSERT_TRUE(engine->SetCurrentPosition(target));
        ASSERT_TRUE(engine->Run());
        EXPECT_EQ(Mismatches(tap.Pull(2048), all, target), 0);
        ASSERT_TRUE(engine->Pause());
    }
}

TEST(GstEngineFactory, MakesEnginesThatPlayThroughTheAutomaticSink) {
    // On a machine without sound the automatic sink falls back to a silent
    // one that still keeps time.
    MediaEngineFactory factory = GstEngineFactory();
    auto engine = factory();
    ASSERT_TRUE(engine->RenderFile(Files().wav));
    ASSERT_TRUE(engine->SetVolume(-10000));
    ASSERT_TRUE(engine->SetCurrentPosition(5));
    ASSERT_TRUE(engine->Run());
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_GT(engine->CurrentPosition().value_or(0), 5.1);
}

TEST(GstEngineSound, VolumeAndBalanceScaleTheAmplitudeByDecibels) {
    SampleTap tap;
    auto engine = RenderWithTap(Files().wav, tap);
    ASSERT_NE(engine, nullptr);
    auto playFromOne = [&] {
        EXPECT_TRUE(engine->SetCurrentPosition(1));
        EXPECT_TRUE(engine->Run());
        std::vector<float> samples = tap.Pull(2048);
        EXPECT_TRUE(engine->Pause());
        samples.resize(4096);
        return samples;
    };
    std::vector<float> full = playFromOne();
    ASSERT_NEAR(full[0], kClick, 1e-3);

    ASSERT_TRUE(engine->SetVolume(-2000));
    std::vector<float> tenth = playFromOne();
    for (std::size_t i = 0; i < full.size(); ++i) {
        ASSERT_NEAR(tenth[i], full[i] * 0.1f, 1e-6) << i;
    }

    // The balance lowers the other channel: -2500 the right one by 25 dB,
    // 5000 the left one by 50 dB.
    ASSERT_TRUE(engine->SetVolume(0));
    ASSERT_TRUE(engine->SetBalance(-2500));
    std::vector<float> left = playFromOne();
    ASSERT_TRUE(engine->SetBalance(5000));
    std::vector<float> right = playFromOne();
    for (std::size_t i = 0; i < full.size(); i += 2) {
        ASSERT_EQ(left[i], full[i]) << i;
        ASSERT_NEAR(left[i + 1], full[i + 1] * 0.0562341f, 1e-6) << i;
        ASSERT_NEAR(right[i], full[i] * 0.00316228f, 1e-6) << i;
        ASSERT_EQ(right[i + 1], full[i + 1]) << i;
    }
}

// Renders on another thread so that a render that blocks fails the test
// instead of hanging it.
std::optional<bool> RenderWithin(const QString& path, std::chrono::seconds limit) {
    auto result = std::make_shared<std::promise<bool>>();
    std::future<bool> rendered = result->get_future();
    std::thread([path, result] {
        auto engine = CreateGstEngine(MakeClockSink());
        result->set_value(engine->RenderFile(path) && engine->Run());
    }).detach();
    if (rendered.wait_for(limit) != std::future_status::ready) {
        return std::nullopt;
    }
    return rendered.get();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(GstEngineRender, FailsQuicklyOnAnythingThatIsNotPlayableAudio) {
    ASSERT_TRUE(InitGstreamer());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString d = dir.path() + "/";
    std::mt19937 random(7);
    QByteArray noise(1 << 20, 0);
    for (char& byte : noise) {
        byte = char(random());
    }
    QByteArray brokenWav = ReadFile(Files().wav).left(44);
    brokenWav[22] = 9;  // nine channels
    ASSERT_TRUE(WriteFile(d + "empty.mp3", {}));
    ASSERT_TRUE(WriteFile(d + "notes.mp3", QByteArray("Not a song at all.\n").repeated(500)));
    ASSERT_TRUE(WriteFile(d + "noise.mp3", noise));
    ASSERT_TRUE(WriteFile(d + "cut.mp3", ReadFile(Files().mp3Cbr).left(300)));
    ASSERT_TRUE(WriteFile(d + "header only.wav", ReadFile(Files().wav).left(44)));
    ASSERT_TRUE(WriteFile(d + "broken.wav", brokenWav));
    ASSERT_TRUE(QDir().mkdir(d + "folder.mp3"));
    ASSERT_EQ(mkfifo(QFile::encodeName(d + "x.mp3").constData(), 0600), 0);

    for (const char* name : {"missing.mp3", "empty.mp3", "notes.mp3", "noise.mp3", "cut.mp3",
                             "header only.wav", "broken.wav", "folder.mp3", "x.mp3"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RenderWithin(d + name, std::chrono::seconds(10)), false);
    }
}

TEST(GstEngineRender, PlaysDamagedAndTaggedMp3sToTheirEnd) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray clean = ReadFile(Files().mp3Vbr);
    ASSERT_GT(clean.size(), 50000);

    QByteArray damaged = clean;
    std::mt19937 random(11);
    for (int i = 0; i < 3000; ++i) {
        damaged[damaged.size() / 2 + i] = char(random());
    }
    QByteArray id3v2 = QByteArray("ID3\x03\x00\x00\x00\x00\x0f\x76", 10) + QByteArray(2038, 0);
    QByteArray ape = QByteArray("APETAGEX") + QByteArray("\xd0\x07\x00\x00\x40\x00\x00\x00", 8) +
                     QByteArray(16, 0) + QByteArray(32, 'a') + QByteArray("APETAGEX") +
                     QByteArray("\xd0\x07\x00\x00\x40\x00\x00\x00", 8) +
                     QByteArray("\x01\x00\x00\x00\x00\x00\x00\x80", 8) + QByteArray(8, 0);
    QByteArray id3v1 = QByteArray("TAG") + QByteArray(125, 'b');
    QString damagedPath = dir.path() + "/damaged.mp3";
    QString taggedPath = dir.path() + "/tagged.mp3";
    ASSERT_TRUE(WriteFile(damagedPath, damaged));
    ASSERT_TRUE(WriteFile(taggedPath, id3v2 + clean + ape + id3v1));

    // A file of a single frame plays it.
    QString oneFrame = dir.path() + "/one frame.mp3";
    const QByteArray cbr = ReadFile(Files().mp3Cbr);
    const auto frames =
        ScanMp3({reinterpret_cast<const std::uint8_t*>(cbr.data()), std::size_t(cbr.size())});
    ASSERT_TRUE(frames.has_value());
    ASSERT_TRUE(
        WriteFile(oneFrame, cbr.mid(qsizetype(frames->frameOffsets[0]),
                                    qsizetype(frames->frameOffsets[1] - frames->frameOffsets[0]))));
    SampleTap single;
    auto shortest = RenderWithTap(oneFrame, single);
    ASSERT_NE(shortest, nullptr);
    EXPECT_EQ(shortest->Duration(), 1152.0 / 44100);

    std::vector<float> reference = DecodeAll(Files().mp3Vbr);
    std::vector<float> tagged = DecodeAll(taggedPath);
    EXPECT_TRUE(tagged == reference);

    // The frames lost to the damage are gone; the rest plays, seeks stay
    // exact and the stream ends at the length.
    std::vector<float> whole = DecodeAll(damagedPath);
    SampleTap tap;
    auto engine = RenderWithTap(damagedPath, tap);
    ASSERT_NE(engine, nullptr);
    double length = engine->Duration().value_or(0);
    EXPECT_GT(length, 11.0);
    EXPECT_LT(length, 12.0);
    EXPECT_NEAR(double(whole.size() / 2) / 44100, length, 1e-9);
    ASSERT_TRUE(engine->SetCurrentPosition(10));
    ASSERT_TRUE(engine->Run());
    EXPECT_EQ(Mismatches(tap.Pull(2048), whole, 10), 0);
    tap.PullAll();
    for (int i = 0; i < 500 && engine->CurrentPosition() != length; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // the bus may lag the sink
    }
    EXPECT_EQ(engine->CurrentPosition(), length);
}

}  // namespace
TEST(Scratch, SeekVbr) {
    std::vector<float> all = DecodeAll(Files().mp3Vbr);
    for (int second : {11, 10, 9, 5, 3}) {
        SampleTap tap;
        auto engine = RenderWithTap(Files().mp3Vbr, tap);
        ASSERT_TRUE(engine->SetCurrentPosition(second));
        ASSERT_TRUE(engine->Run());
        qDebug() << second << Mismatches(tap.Pull(2048), all, second);
    }
}
