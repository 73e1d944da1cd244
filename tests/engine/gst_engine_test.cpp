// The engines' promises, held against the fake and the GStreamer engine; the
// GStreamer engine on generated recordings, compared with what it plays from 0.
#include "engine/gst_engine.h"
#include "engine/decoders/mp3_length.h"
#include "support/program_test.h"
#include "support/real_time.h"
#include "support/test_audio.h"

#include <QDir>
#include <QTest>

#include <gst/gst.h>
#include <sys/stat.h>

#include <future>
#include <random>
#include <thread>

namespace {

constexpr double kLength = 12.0;  // of Files().wav

std::unique_ptr<MediaEngine> Rendered(const QString& path, GstElement* sink) {
    auto engine = CreateGstEngine(sink);
    return engine->RenderFile(path) ? std::move(engine) : nullptr;
}

std::vector<float> PlayAll(const QString& path) {
    GstElement* tap = MakeTap();
    auto engine = Rendered(path, tap);
    return engine != nullptr && engine->Run() ? Pull(tap) : std::vector<float>{};
}

// Whether the next 2048 frames are those of whole second `second` of `all`
// (but for the last bit, whose rounding differs with the buffers' alignment).
bool PlaysSecond(GstElement* tap, const std::vector<float>& all, int second, int rate = 44100) {
    const std::vector<float> played = Pull(tap, 2048);
    const std::size_t at = std::size_t(second) * rate * 2;
    return played.size() >= 4096 && all.size() >= at + 4096 &&
           std::equal(played.begin(), played.begin() + 4096, all.begin() + at,
                      [](float a, float b) { return std::abs(a - b) < 1e-6f; });
}

// The fake engine the window tests use, its clock moved by the test.
struct Fake {
    std::shared_ptr<FakeEngineControl> control = std::make_shared<FakeEngineControl>();
    QString file = QStringLiteral("/music/Probe.mp3");
    Fake() { control->lengths[file] = kLength; }
    std::unique_ptr<MediaEngine> Make() { return FakeEngineFactory(control)(); }
    void Wait(double seconds) { control->last->Advance(seconds); }
    // Plays on from 1 s: seconds of the file played per second.
    double SpeedFrom1(MediaEngine& engine) {
        EXPECT_TRUE(engine.SetCurrentPosition(1) && engine.Run());
        Wait(1);
        return engine.CurrentPosition().value_or(0) - 1;
    }
};

// The GStreamer engine playing in real time to a tap that keeps its last buffer.
struct Gst {
    QString file = Files().wav;
    GstElement* tap = nullptr;
    std::unique_ptr<MediaEngine> Make() {
        tap = MakeTap();
        g_object_set(tap, "sync", TRUE, "drop", TRUE, "max-buffers", 1, nullptr);
        return CreateGstEngine(tap);
    }
    void Wait(double seconds) { QTest::qSleep(int(seconds * 1000)); }
    // Plays from 1 s to the end as fast as it decodes: seconds of file per second.
    double SpeedFrom1(MediaEngine& engine) {
        g_object_set(tap, "sync", FALSE, "drop", FALSE, nullptr);
        EXPECT_TRUE(engine.SetCurrentPosition(1) && engine.Run());
        return (kLength - 1) / (double(Pull(tap).size() / 2) / 44100);
    }
};

template <typename Engines>
struct EngineContract : ::testing::Test {
    Engines engines;
};
using EngineKinds = ::testing::Types<Fake, Gst>;
TYPED_TEST_SUITE(EngineContract, EngineKinds);

TYPED_TEST(EngineContract, RefusesBeforeARenderHoldsThePositionAndKeepsTheRate) {
    auto failed = this->engines.Make();
    EXPECT_FALSE(failed->RenderFile(this->engines.file + ".missing"));
    EXPECT_FALSE(failed->RenderFile(this->engines.file));  // one file per engine
    auto engine = this->engines.Make();
    for (MediaEngine* e : {engine.get(), failed.get()}) {
        EXPECT_FALSE(e->Run() || e->Pause() || e->Stop() || e->Duration() || e->CurrentPosition() ||
                     e->SetCurrentPosition(3) || e->SetRate(0.5) || e->SetVolume(-2000) ||
                     e->SetBalance(-5000));
    }
    // Pause, Stop and the end hold the position; at the end the engine still
    // runs: a seek back plays on.
    const auto playTo = [&](double second) {  // ten seconds at most
        for (int i = 0; i < 100 && engine->CurrentPosition().value_or(0) < second; ++i) {
            this->engines.Wait(0.1);
        }
        return engine->CurrentPosition().value_or(0);
    };
    ASSERT_TRUE(engine->RenderFile(this->engines.file) && engine->Run());
    EXPECT_GE(playTo(0.2), 0.2);
    for (bool pause : {true, false}) {
        ASSERT_TRUE(pause ? engine->Pause() : engine->Stop());
        const std::optional<double> held = engine->CurrentPosition();
        this->engines.Wait(0.3);
        EXPECT_EQ(engine->CurrentPosition(), held) << pause;
        EXPECT_TRUE(engine->SetCurrentPosition(1) && engine->CurrentPosition() == 1.0) << pause;
        ASSERT_TRUE(engine->Run());
    }
    ASSERT_TRUE(engine->SetCurrentPosition(kLength - 0.3));
    EXPECT_EQ(playTo(kLength), kLength);
    this->engines.Wait(0.3);
    EXPECT_EQ(engine->CurrentPosition(), kLength);
    ASSERT_TRUE(engine->SetCurrentPosition(2));
    EXPECT_LT(playTo(2.1), kLength);
    ASSERT_TRUE(engine->SetCurrentPosition(kLength) && engine->Pause() && engine->Run());
    this->engines.Wait(0.2);
    EXPECT_EQ(engine->CurrentPosition(), kLength);
    // The rate holds across pauses and seeks; one set at the end comes with the next seek.
    for (double rate : {2.0, 0.5}) {
        ASSERT_TRUE(engine->Pause() && engine->SetRate(rate));
        EXPECT_NEAR(this->engines.SpeedFrom1(*engine), rate, rate * 0.05);
    }
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
        ASSERT_TRUE(WaitFor([&] { return engine->LengthFinal(); }));  // an MP3's frame walk
        const double length = engine->Duration().value_or(0);
        EXPECT_NEAR(length, double(all.size() / 2) / rate, 1e-9);
        // Before playing, while playing, while paused, before the start, past the end.
        const int far = int(length * 0.6), last = int(length) - 1;
        for (const auto& [target, second] : {std::pair(far, far), {last, last}, {1, 1}, {-5, 0}}) {
            const bool playing = target == last;
            ASSERT_TRUE((playing || engine->Pause()) && engine->SetCurrentPosition(target));
            EXPECT_TRUE(playing || engine->CurrentPosition() == second) << target;
            ASSERT_TRUE(engine->Run());
            EXPECT_TRUE(PlaysSecond(tap, all, second, rate)) << target;
        }
        ASSERT_TRUE(engine->SetCurrentPosition(1e300));
        EXPECT_EQ(engine->CurrentPosition(), length);
        Pull(tap);
        EXPECT_EQ(engine->CurrentPosition(), length);
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
    // Volume, balance and the factors of the left and the right channel: -2000
    // a tenth; -2500 lowers the right one by 25 dB, 5000 the left one by 50 dB.
    const std::tuple<long, long, float, float> cases[] = {
        {0, 0, 1, 1}, {-2000, 0, 0.1f, 0.1f}, {0, -2500, 1, 0.0562341f}, {0, 5000, 0.00316228f, 1}};
    std::vector<float> full;
    for (const auto& [volume, balance, left, right] : cases) {
        ASSERT_TRUE(engine->SetVolume(volume) && engine->SetBalance(balance) &&
                    engine->SetCurrentPosition(1) && engine->Run());
        const std::vector<float> played = Pull(tap, 2048);
        ASSERT_TRUE(engine->Pause() && played.size() >= 4096);
        full = full.empty() ? played : full;
        for (std::size_t i = 0; i < 4096; i += 2) {
            ASSERT_NEAR(played[i], full[i] * left, 1e-6) << volume << " " << balance << " " << i;
            ASSERT_NEAR(played[i + 1], full[i + 1] * right, 1e-6) << volume << " " << balance;
        }
    }
    EXPECT_GT(*std::max_element(full.begin(), full.end()), 0.1f);
}

using GstEngineRender = ProgramTest;  // for its folder and its byte helpers

TEST_F(GstEngineRender, FailsQuicklyOnAnythingThatIsNotPlayableAudio) {
    const QByteArray wav = ReadBytes(Files().wav);
    QByteArray noise(1 << 20, 0);
    std::generate(noise.begin(), noise.end(), std::mt19937(7));
    WriteBytes(PathOf("empty.mp3"), {});
    WriteBytes(PathOf("noise.mp3"), noise);
    WriteBytes(PathOf("notes.mp3"), QByteArray("Not a song at all.\n").repeated(500));
    WriteBytes(PathOf("header only.wav"), wav.left(44));
    WriteBytes(PathOf("nine channels.wav"), QByteArray(wav.left(1000)).replace(22, 1, "\x09"));
    ASSERT_TRUE(QDir().mkdir(PathOf("folder.mp3")));
    ASSERT_EQ(mkfifo(QFile::encodeName(PathOf("fifo.mp3")).constData(), 0600), 0);
    for (const char* name : {"missing.mp3", "empty.mp3", "notes.mp3", "noise.mp3",
                             "header only.wav", "nine channels.wav", "folder.mp3", "fifo.mp3"}) {
        // On a thread of its own: a render that blocks fails instead of hanging.
        auto result = std::make_shared<std::promise<bool>>();
        std::future<bool> rendered = result->get_future();
        std::thread([path = PathOf(name), result] {
            result->set_value(Rendered(path, MakeClockSink()) != nullptr);
        }).detach();
        ASSERT_EQ(rendered.wait_for(std::chrono::seconds(10)), std::future_status::ready) << name;
        EXPECT_FALSE(rendered.get()) << name;
    }
}

TEST_F(GstEngineRender, PlaysDamagedAndTaggedMp3sToTheirEnd) {
    const QByteArray clean = ReadBytes(Files().mp3Vbr), cbr = ReadBytes(Files().mp3Cbr);
    QByteArray noise(3000, 0);
    std::generate(noise.begin(), noise.end(), std::mt19937(11));
    WriteBytes(PathOf("damaged.mp3"), QByteArray(clean).replace(clean.size() / 2, 3000, noise));
    // ID3v2 before, APE (with its header) and ID3v1 after the frames.
    const QByteArray ape("APETAGEX\xd0\x07\0\0\x40\0\0\0", 16);
    WriteBytes(PathOf("tagged.mp3"), QByteArray("ID3\x03\0\0\0\0\x0f\x76", 10) +
                                         QByteArray(2038, 0) + clean + ape + QByteArray(48, 'a') +
                                         ape + QByteArray("\x01\0\0\0\0\0\0\x80", 8) +
                                         QByteArray(8, 0) + "TAG" + QByteArray(125, 'b'));
    const auto* first = reinterpret_cast<const std::uint8_t*>(cbr.data());
    WriteBytes(PathOf("one frame.mp3"), cbr.left(ParseMpegFrameHeader(first).value().frameBytes));
    auto single = Rendered(PathOf("one frame.mp3"), MakeClockSink());
    EXPECT_EQ(single ? single->Duration() : std::nullopt, 1152.0 / 44100);
    EXPECT_TRUE(PlayAll(PathOf("tagged.mp3")) == PlayAll(Files().mp3Vbr));

    // The frames lost to the damage are gone; seeks stay exact, the end is the length.
    const std::vector<float> all = PlayAll(PathOf("damaged.mp3"));
    GstElement* tap = MakeTap();
    auto engine = Rendered(PathOf("damaged.mp3"), tap);
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
