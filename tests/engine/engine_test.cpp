// The GStreamer engine on generated recordings, compared with what it plays
// from 0; its section loop and its MP3 open from the first frames.
#include "engine/decoders/mp3_length.h"
#include "engine/feed.h"
#include "engine/gst_engine.h"
#include "support/program_test.h"
#include "support/test_audio.h"

#include <gst/gst.h>

#include <cmath>
#include <future>
#include <random>
#include <thread>

constexpr int kRate = 44100;
constexpr double kLength = 12.0;  // of Files().wav

// An engine that rendered the file, its MP3 frame walk done: the length is final.
std::unique_ptr<MediaEngine> Rendered(const QString& path, GstElement* sink) {
    auto engine = CreateGstEngine(sink);
    if (!engine->RenderFile(path)) {
        return nullptr;
    }
    while (!engine->LengthFinal()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return engine;
}

std::vector<float> PlayAll(const QString& path) {
    GstElement* tap = MakeTap();
    auto engine = Rendered(path, tap);
    return engine != nullptr && engine->Run() ? Pull(tap) : std::vector<float>{};
}

bool Same(const float* played, const float* expected, std::size_t count) {
    return std::equal(played, played + count, expected,
                      [](float a, float b) { return std::fabs(a - b) < 1e-6f; });
}

// Whether the next 2048 frames are those of whole second `second` of `all`
// (but for the last bit, whose rounding differs with the buffers' alignment).
bool PlaysSecond(GstElement* tap, const std::vector<float>& all, int second, int rate = kRate) {
    const std::vector<float> played = Pull(tap, 2048);
    const std::size_t at = std::size_t(second) * rate * 2;
    return played.size() >= 4096 && all.size() >= at + 4096 &&
           Same(played.data(), all.data() + at, 4096);
}

// What both engines promise, the fake one (on the clock the window tests
// move) as the real one: nothing before a render, one file per engine; Pause,
// Stop and the end hold the position; at the end a seek back plays on.
template <typename Make, typename Wait>
void KeepsTheContract(Make make, const QString& file, Wait wait,
                      std::unique_ptr<MediaEngine>& engine) {
    auto failed = make();
    engine = make();
    EXPECT_FALSE(failed->RenderFile(file + ".missing"));
    EXPECT_FALSE(failed->RenderFile(file));
    for (MediaEngine* e : {engine.get(), failed.get()}) {
        EXPECT_FALSE(e->Run() || e->Pause() || e->Stop() || e->Duration() || e->CurrentPosition() ||
                     e->SetCurrentPosition(3) || e->SetRate(0.5) || e->SetVolume(-2000) ||
                     e->SetBalance(-5000));
    }
    const auto at = [&] { return engine->CurrentPosition().value_or(0); };
    const auto playTo = [&](auto reached) {  // ten seconds at most
        for (int i = 0; i < 100 && !reached(); ++i) {
            wait(0.1);
        }
        return reached();
    };
    ASSERT_TRUE(engine->RenderFile(file) && engine->Run());
    EXPECT_TRUE(playTo([&] { return at() >= 0.2; }));
    for (bool pause : {true, false}) {
        ASSERT_TRUE(pause ? engine->Pause() : engine->Stop());
        const double held = at();
        wait(0.3);
        EXPECT_EQ(at(), held) << pause;
        EXPECT_TRUE(engine->SetCurrentPosition(1) && engine->CurrentPosition() == 1.0) << pause;
        ASSERT_TRUE(engine->Run());
    }
    ASSERT_TRUE(engine->SetCurrentPosition(kLength - 0.3));
    EXPECT_TRUE(playTo([&] { return at() == kLength; }));
    wait(0.3);
    EXPECT_EQ(at(), kLength);
    ASSERT_TRUE(engine->SetCurrentPosition(2));
    EXPECT_TRUE(playTo([&] { return at() > 2.1 && at() < kLength; }));
    ASSERT_TRUE(engine->SetCurrentPosition(kLength) && engine->Pause() && engine->Run());
    wait(0.2);
    EXPECT_EQ(at(), kLength);
}

TEST(FakeEngine, KeepsTheContract) {
    auto control = std::make_shared<FakeEngineControl>();
    control->lengths["/music/Probe.mp3"] = kLength;
    std::unique_ptr<MediaEngine> engine;
    KeepsTheContract(
        FakeEngineFactory(control), "/music/Probe.mp3",
        [&](double seconds) { control->last->Advance(seconds); }, engine);
}

// The real engine keeps it in real time, and its rate holds across pauses and seeks.
TEST(GstEngine, KeepsTheContractAndTheRate) {
    GstElement* tap = MakeTap();  // playing in real time, keeping its last buffer
    g_object_set(tap, "sync", TRUE, "drop", TRUE, "max-buffers", 1, nullptr);
    std::unique_ptr<MediaEngine> engine;
    KeepsTheContract([&, made = 0]() mutable { return CreateGstEngine(made++ ? tap : MakeTap()); },
                     Files().wav, [](double seconds) { QTest::qSleep(int(seconds * 1000)); },
                     engine);
    ASSERT_NE(engine, nullptr);
    g_object_set(tap, "sync", FALSE, "drop", FALSE, nullptr);  // as fast as it decodes
    for (double rate : {2.0, 0.5}) {
        ASSERT_TRUE(engine->Pause() && engine->SetRate(rate));
        ASSERT_TRUE(engine->SetCurrentPosition(1) && engine->Run());
        EXPECT_NEAR((kLength - 1) / (double(Pull(tap).size() / 2) / kRate), rate, rate * 0.05);
    }
}

TEST(GstEngine, LengthAndSeeksAreExactToTheSampleInEveryState) {
    const TestFiles& f = Files();
    for (const QString& path :
         {f.wav, f.mp3CbrXing, f.mp3Cbr, f.mp3VbrXing, f.mp3Vbr, f.mp3Mono, f.longMp3}) {
        SCOPED_TRACE(path.toStdString());
        const int rate = path == f.mp3Mono ? 22050 : kRate;
        const std::vector<float> all = PlayAll(path);
        GstElement* tap = MakeTap();
        auto engine = Rendered(path, tap);
        ASSERT_NE(engine, nullptr);
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
    // Without a sound card the automatic sink falls back to one that keeps time.
    auto engine = GstEngineFactory()();
    ASSERT_TRUE(engine->RenderFile(Files().wav) && engine->SetVolume(-10000) &&
                engine->SetCurrentPosition(5) && engine->Run());
    EXPECT_TRUE(WaitFor([&] { return engine->CurrentPosition().value_or(0) > 5.1; }));
}

TEST(GstEngine, VolumeAndBalanceScaleTheAmplitudeByDecibels) {
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

// What is not audio is refused (a render that blocked would hang the test);
// a one-frame MP3 plays. Damaged files are in the formats test.
TEST_F(GstEngineRender, RefusesWhatIsNotAudioAndOpensAOneFrameMp3) {
    const QByteArray wav = ReadBytes(Files().wav), cbr = ReadBytes(Files().mp3Cbr);
    QByteArray noise(1 << 20, 0);
    std::generate(noise.begin(), noise.end(), std::mt19937(7));
    WriteBytes(PathOf("empty.mp3"), {});
    WriteBytes(PathOf("noise.mp3"), noise);
    WriteBytes(PathOf("notes.mp3"), QByteArray("Not a song at all.\n").repeated(500));
    WriteBytes(PathOf("header only.wav"), wav.left(44));
    WriteBytes(PathOf("nine channels.wav"), QByteArray(wav.left(1000)).replace(22, 1, "\x09"));
    for (const char* name : {"missing.mp3", "empty.mp3", "notes.mp3", "noise.mp3",
                             "header only.wav", "nine channels.wav"}) {
        EXPECT_EQ(Rendered(PathOf(name), MakeClockSink()), nullptr) << name;
    }
    const auto* first = reinterpret_cast<const std::uint8_t*>(cbr.data());
    WriteBytes(PathOf("one frame.mp3"), cbr.left(ParseMpegFrameHeader(first).value().frameBytes));
    auto single = Rendered(PathOf("one frame.mp3"), MakeClockSink());
    EXPECT_EQ(single ? single->Duration() : std::nullopt, 1152.0 / kRate);
}

// A loop of [start, end) seconds played from `from`: at each seam a short
// crossfade from the section's end into what leads into its start.
std::vector<float> Looped(const std::vector<float>& file, int start, int end, int from,
                          std::size_t frames) {
    const std::int64_t fade = Feed::FadeFrames(kRate), fadeStart = std::int64_t(end) * kRate - fade;
    std::vector<float> out(file.begin() + std::int64_t(from) * kRate * 2,
                           file.begin() + fadeStart * 2);
    while (out.size() < frames * 2) {
        for (std::int64_t i = 0; i < fade * 2; ++i) {
            const double x = (double(i / 2) + 0.5) / double(fade) * M_PI / 2;
            out.push_back(file[std::size_t(fadeStart * 2 + i)] * float(std::cos(x)) +
                          file[std::size_t((std::int64_t(start) * kRate - fade) * 2 + i)] *
                              float(std::sin(x)));
        }
        out.insert(out.end(), file.begin() + std::int64_t(start) * kRate * 2,
                   file.begin() + fadeStart * 2);
    }
    out.resize(frames * 2);
    return out;
}

// Holds reads past 64 KiB, but for the last 4 KiB (tags), until `open` is set.
class GatedReader final : public FileReader {
public:
    GatedReader(std::shared_ptr<FileReader> file, std::shared_future<void> open)
        : file_(std::move(file)), open_(std::move(open)) {}
    std::uint64_t Size() const override { return file_->Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override {
        if (offset + size > 64 * 1024 && offset < file_->Size() - 4096) {
            open_.wait();
        }
        return file_->ReadAt(offset, buffer, size);
    }

private:
    std::shared_ptr<FileReader> file_;
    std::shared_future<void> open_;
};

// The crossfade before a seam still counts as the section's end.
TEST(EngineLoop, TheFeedMapsTheStreamToTheFileAcrossSeams) {
    Feed feed(OpenPcmSource(Files().wav), 4);  // stereo
    ASSERT_TRUE(feed.Seek(0) && feed.SetLoop(Section{20, 30}, 0));
    std::vector<float> out(128);
    for (std::int64_t read = 0, got = 1; read < 64 && got > 0; read += got) {
        got = feed.Read(out.data() + read * 2, 64 - read);
    }
    EXPECT_EQ(std::vector({feed.FileFrameAt(27), feed.FileFrameAt(30), feed.FileFrameAt(45),
                           feed.FileFrameAt(63)}),
              std::vector<std::int64_t>({27, 20, 25, 23}));
}

TEST(EngineLoop, PlaysTheSectionSeamlesslyAndReportsTheFilePosition) {
    const std::vector<float> file = PlayAll(Files().wav);
    GstElement* tap = MakeTap();
    auto engine = CreateGstEngine(tap);
    ASSERT_TRUE(engine->RenderFile(Files().wav));
    ASSERT_TRUE(engine->SetCurrentPosition(4) && engine->SetLoop(2, 5) && engine->Run());
    const std::size_t frames = std::size_t(kRate) * (1 + 20 * 3);  // to the seam, 20 passes
    const std::vector<float> played = Pull(tap, frames), expected = Looped(file, 2, 5, 4, frames);
    ASSERT_GE(played.size(), frames * 2);
    EXPECT_TRUE(Same(played.data(), expected.data(), expected.size()));
    const double position = engine->CurrentPosition().value_or(-1);
    EXPECT_TRUE(position >= 2 && position < 5) << position;
    ASSERT_TRUE(engine->ClearLoop());  // playback goes on past the section's end
    Pull(tap, std::size_t(kRate) * 4);
    EXPECT_GT(engine->CurrentPosition().value_or(0), 5.0);
}

// A seek ahead of the MP3 frame walk waits for it and lands exactly.
TEST(EngineOpen, ReadsOnlyTheStartOfAnMp3AndSeeksAheadOfTheWalkExactly) {
    const std::vector<float> all = PlayAll(Files().longMp3);
    const auto file = OpenFileReader(Files().longMp3);
    ASSERT_TRUE(file != nullptr && file->Size() > 700u * 1024);
    std::promise<void> open;
    auto gated = std::make_shared<GatedReader>(file, open.get_future().share());
    GstElement* tap = MakeTap();
    auto engine = CreateGstEngine(tap, [&](const QString&) { return gated; });
    ASSERT_TRUE(engine->RenderFile(Files().longMp3));
    EXPECT_FALSE(engine->LengthFinal());
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        open.set_value();
    });
    ASSERT_TRUE(engine->SetCurrentPosition(170));  // waits for the walk
    opener.join();
    EXPECT_EQ(engine->CurrentPosition(), 170.0);
    ASSERT_TRUE(engine->Run());
    EXPECT_TRUE(PlaysSecond(tap, all, 170));
    while (!engine->LengthFinal()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(engine->Duration(), double(all.size() / 2) / kRate);
}
