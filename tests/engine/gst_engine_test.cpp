// The GStreamer engine on generated recordings, compared sample by sample with
// what it plays from the start.
#include "engine/gst_engine.h"
#include "engine/decoders/mp3_length.h"
#include "support/real_time.h"
#include "support/test_audio.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <future>
#include <random>
#include <thread>

namespace {

std::unique_ptr<MediaEngine> Rendered(const QString& path, GstElement* sink) {
    EXPECT_TRUE(InitGstreamer());
    auto engine = CreateGstEngine(sink);
    return engine->RenderFile(path) ? std::move(engine) : nullptr;
}

std::vector<float> PlayAll(const QString& path) {
    GstElement* tap = MakeTap();
    auto engine = Rendered(path, tap);
    return engine != nullptr && engine->Run() ? Pull(tap) : std::vector<float>{};
}

// Whether the next 2048 frames from the tap are those of whole second
// `second` of the stream played from the start (but for rounding in the last
// bit, which differs with the buffers' alignment).
bool PlaysSecond(GstElement* tap, const std::vector<float>& all, int second, int rate = 44100) {
    const std::vector<float> played = Pull(tap, 2048);
    const std::size_t at = std::size_t(second) * rate * 2;
    return played.size() >= 4096 && all.size() >= at + 4096 &&
           std::equal(played.begin(), played.begin() + 4096, all.begin() + at,
                      [](float a, float b) { return std::abs(a - b) < 1e-6f; });
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(GstEngine, LengthAndSeeksAreExactToTheSampleInEveryState) {
    const TestFiles& f = Files();
    for (const QString& path :
         {f.wav, f.mp3CbrXing, f.mp3Cbr, f.mp3VbrXing, f.mp3Vbr, f.mp3Mono, f.longMp3}) {
        SCOPED_TRACE(path.toStdString());
        const int rate = path == f.mp3Mono ? 22050 : 44100;
        const std::vector<float> all = PlayAll(path);
        GstElement* tap = MakeTap();
        auto engine = Rendered(path, tap);
        ASSERT_NE(engine, nullptr);
        const double length = engine->Duration().value_or(0);
        EXPECT_NEAR(length, double(all.size() / 2) / rate, 1e-9);
        // Before playing, while playing, while paused, past the end and before the start.
        const int far = int(length * 0.6), last = int(length) - 1;
        ASSERT_TRUE(engine->SetCurrentPosition(far));
        EXPECT_EQ(engine->CurrentPosition(), far);
        ASSERT_TRUE(engine->Run());
        EXPECT_TRUE(PlaysSecond(tap, all, far, rate));
        ASSERT_TRUE(engine->SetCurrentPosition(last));
        EXPECT_TRUE(PlaysSecond(tap, all, last, rate));
        ASSERT_TRUE(engine->Pause() && engine->SetCurrentPosition(1));
        EXPECT_EQ(engine->CurrentPosition(), 1.0);
        ASSERT_TRUE(engine->Run());
        EXPECT_TRUE(PlaysSecond(tap, all, 1, rate));
        ASSERT_TRUE(engine->SetCurrentPosition(length + 100));
        EXPECT_EQ(engine->CurrentPosition(), length);
        Pull(tap);
        EXPECT_EQ(engine->CurrentPosition(), length);
        ASSERT_TRUE(engine->Pause() && engine->SetCurrentPosition(-5));
        EXPECT_EQ(engine->CurrentPosition(), 0.0);
        ASSERT_TRUE(engine->Run());
        EXPECT_TRUE(PlaysSecond(tap, all, 0, rate));
    }
}

// Without a sound card the automatic sink falls back to one that keeps time.
TEST(GstEngineFactory, MakesEnginesThatPlayThroughTheAutomaticSink) {
    auto engine = GstEngineFactory()();
    ASSERT_TRUE(engine->RenderFile(Files().wav) && engine->SetVolume(-10000) &&
                engine->SetCurrentPosition(5) && engine->Run());
    EXPECT_TRUE(WaitFor([&] { return engine->CurrentPosition().value_or(0) > 5.1; }));
}

TEST(GstEngineSound, VolumeAndBalanceScaleTheAmplitudeByDecibels) {
    GstElement* tap = MakeTap();
    auto engine = Rendered(Files().wav, tap);
    ASSERT_NE(engine, nullptr);
    auto playFromOne = [&] {
        EXPECT_TRUE(engine->SetCurrentPosition(1) && engine->Run());
        std::vector<float> samples = Pull(tap, 2048);
        EXPECT_TRUE(engine->Pause());
        samples.resize(4096);
        return samples;
    };
    const std::vector<float> full = playFromOne();
    ASSERT_GT(*std::max_element(full.begin(), full.end()), 0.1f);
    ASSERT_TRUE(engine->SetVolume(-2000));
    const std::vector<float> tenth = playFromOne();
    // -2500 lowers the right channel by 25 dB, 5000 the left one by 50 dB.
    ASSERT_TRUE(engine->SetVolume(0) && engine->SetBalance(-2500));
    const std::vector<float> left = playFromOne();
    ASSERT_TRUE(engine->SetBalance(5000));
    const std::vector<float> right = playFromOne();
    for (std::size_t i = 0; i < full.size(); i += 2) {
        ASSERT_NEAR(tenth[i], full[i] * 0.1f, 1e-6) << i;
        ASSERT_NEAR(tenth[i + 1], full[i + 1] * 0.1f, 1e-6) << i;
        ASSERT_EQ(left[i], full[i]) << i;
        ASSERT_NEAR(left[i + 1], full[i + 1] * 0.0562341f, 1e-6) << i;
        ASSERT_NEAR(right[i], full[i] * 0.00316228f, 1e-6) << i;
        ASSERT_EQ(right[i + 1], full[i + 1]) << i;
    }
}

TEST(GstEngineRender, FailsQuicklyOnAnythingThatIsNotPlayableAudio) {
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    const QByteArray wav = Bytes(Files().wav);
    ASSERT_TRUE(Write(d + "empty.mp3", {}) && Write(d + "noise.mp3", wav.mid(1000)) &&
                Write(d + "notes.mp3", QByteArray("Not a song at all.\n").repeated(500)) &&
                Write(d + "cut.mp3", Bytes(Files().mp3Cbr).left(300)) &&
                Write(d + "header only.wav", wav.left(44)) &&
                Write(d + "nine channels.wav", QByteArray(wav.left(1000)).replace(22, 1, "\x09")) &&
                QDir().mkdir(d + "folder.mp3"));
    ASSERT_EQ(mkfifo(QFile::encodeName(d + "fifo.mp3").constData(), 0600), 0);
    for (const char* name : {"missing.mp3", "empty.mp3", "notes.mp3", "noise.mp3", "cut.mp3",
                             "header only.wav", "nine channels.wav", "folder.mp3", "fifo.mp3"}) {
        // On a thread of its own, so that a render that blocks fails the test
        // instead of hanging it.
        auto result = std::make_shared<std::promise<bool>>();
        std::future<bool> rendered = result->get_future();
        std::thread([path = d + name, result] {
            result->set_value(Rendered(path, MakeClockSink()) != nullptr);
        }).detach();
        ASSERT_EQ(rendered.wait_for(std::chrono::seconds(10)), std::future_status::ready) << name;
        EXPECT_FALSE(rendered.get()) << name;
    }
}

TEST(GstEngineRender, PlaysDamagedAndTaggedMp3sToTheirEnd) {
    QTemporaryDir dir;
    const QByteArray clean = Bytes(Files().mp3Vbr), cbr = Bytes(Files().mp3Cbr);
    QByteArray noise(3000, 0);
    std::generate(noise.begin(), noise.end(), std::mt19937(11));
    const QByteArray apeFooter("APETAGEX\xd0\x07\0\0\x40\0\0\0", 16);
    const QByteArray tags[] = {QByteArray("ID3\x03\0\0\0\0\x0f\x76", 10) + QByteArray(2038, 0),
                               apeFooter + QByteArray(48, 'a') + apeFooter +
                                   QByteArray("\x01\0\0\0\0\0\0\x80", 8) + QByteArray(8, 0) +
                                   "TAG" + QByteArray(125, 'b')};
    const auto frames =
        ScanMp3({reinterpret_cast<const std::uint8_t*>(cbr.data()), std::size_t(cbr.size())});
    ASSERT_TRUE(frames.has_value());
    const auto first = qsizetype(frames->frameOffsets[0]);
    ASSERT_TRUE(Write(dir.filePath("damaged.mp3"),
                      QByteArray(clean).replace(clean.size() / 2, 3000, noise)) &&
                Write(dir.filePath("tagged.mp3"), tags[0] + clean + tags[1]) &&
                Write(dir.filePath("one frame.mp3"),
                      cbr.mid(first, qsizetype(frames->frameOffsets[1]) - first)));
    auto single = Rendered(dir.filePath("one frame.mp3"), MakeClockSink());
    EXPECT_EQ(single ? single->Duration() : std::nullopt, 1152.0 / 44100);
    EXPECT_TRUE(PlayAll(dir.filePath("tagged.mp3")) == PlayAll(Files().mp3Vbr));

    // The frames lost to the damage are gone; the rest plays, seeks stay
    // exact and the position ends at the length.
    const std::vector<float> all = PlayAll(dir.filePath("damaged.mp3"));
    GstElement* tap = MakeTap();
    auto engine = Rendered(dir.filePath("damaged.mp3"), tap);
    ASSERT_NE(engine, nullptr);
    const double length = engine->Duration().value_or(0);
    EXPECT_TRUE(length > 11 && length < 12) << length;
    EXPECT_NEAR(double(all.size() / 2) / 44100, length, 1e-9);
    ASSERT_TRUE(engine->SetCurrentPosition(10) && engine->Run());
    EXPECT_TRUE(PlaysSecond(tap, all, 10));
    Pull(tap);
    EXPECT_TRUE(WaitFor([&] { return engine->CurrentPosition() == length; }));
}

}  // namespace
