// The decoders' parsers on bytes built here; the GStreamer engine on generated
// recordings, compared with what it plays from 0; its section loop and its MP3
// open from the first frames.
#include "engine/decoders/mp3_length.h"
#include "engine/decoders/wav_header.h"
#include "engine/feed.h"
#include "engine/gst_engine.h"
#include "support/program_test.h"
#include "support/real_time.h"
#include "support/test_audio.h"

#include <QTest>

#include <gst/gst.h>

#include <cmath>
#include <condition_variable>
#include <cstring>
#include <future>
#include <mutex>
#include <numeric>
#include <random>
#include <thread>

namespace {

constexpr int kRate = 44100;
constexpr double kLength = 12.0;  // of Files().wav
using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes B(const char* text) {
    return Bytes(text, text + std::strlen(text));
}

// A number in `size` bytes, little-endian (big-endian for a negative size).
Bytes N(std::uint32_t value, int size) {
    Bytes out;
    for (int i = 0; i < std::abs(size); ++i) {
        out.push_back(std::uint8_t(value >> (8 * (size < 0 ? -size - 1 - i : i))));
    }
    return out;
}

// MPEG 1 layer III frames of 417 bytes (128 kbit/s, 44.1 kHz), the first
// carrying `first` after its header.
Bytes Frames(int count, const Bytes& first = {}, std::uint8_t mode = 0) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        out = std::move(out) + Bytes{0xFF, 0xFB, 0x90, mode} + Bytes(413, 0);
    }
    std::copy(first.begin(), first.end(), out.begin() + 4);
    return out;
}

TEST(Mp3Length, FrameHeadersAndHeaderFrameCounts) {
    // Version, layer, sample rate, channels, samples per frame, frame bytes.
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"\xFF\xFA\x14\xC0", {1, 3, 48000, 1, 1152, 96}},   // 32 kbit/s, mono, CRC
        {"\xFF\xE3\x80\x00", {25, 3, 11025, 2, 576, 417}},  // MPEG 2.5, 64 kbit/s
        {"\xFF\xFD\xC4\x00", {1, 2, 48000, 2, 1152, 768}},  // layer II, 256 kbit/s
        {"\xFF\xFF\xC2\x00", {1, 1, 44100, 2, 384, 420}}};  // layer I, 384 kbit/s, padded
    for (const auto& [bytes, expected] : cases) {
        const auto h = ParseMpegFrameHeader(reinterpret_cast<const std::uint8_t*>(bytes));
        EXPECT_EQ(h ? std::vector({h->version, h->layer, h->sampleRate, h->channels,
                                   h->samplesPerFrame, h->frameBytes})
                    : std::vector<int>(),
                  expected)
            << expected[5];
    }
    // No sync, reserved version, layer, sample rate and emphasis, free format, a bad bitrate.
    for (const char* bytes : {"\xFF\x7B\x90", "\xFF\xEB\x90", "\xFF\xF9\x90", "\xFF\xFB\x9C",
                              "\xFF\xFB\x90\x02", "\xFF\xFB\x00", "\xFF\xFB\xF0"}) {
        EXPECT_FALSE(ParseMpegFrameHeader(reinterpret_cast<const std::uint8_t*>(bytes)));
    }
    // VBRI at 36 bytes; Xing and Info after the side information, shorter in mono.
    const auto count = [](const Bytes& frame) {
        return ReadHeaderFrameCount(frame, *ParseMpegFrameHeader(frame.data())).value_or(0);
    };
    EXPECT_EQ(count(Frames(1, Bytes(32, 0) + B("VBRI") + Bytes(10, 0) + N(77, -4))), 77u);
    EXPECT_EQ(count(Frames(1, Bytes(17, 0) + B("Info") + N(1, -4) + N(77, -4), 0xC0)), 77u);
    EXPECT_EQ(count(Frames(1, Bytes(32, 0) + B("Xing") + N(14, -4) + N(77, -4))), 0u);  // no count
}

TEST(Mp3Length, TheWalkSkipsTagsDamageAndACutLastFrameAndDoesNotGuess) {
    EXPECT_EQ(ScanMp3(Frames(3000)).value().frameOffsets.at(2999), 2999u * 417);  // > read window
    // An ID3v2 tag with a footer, its contents looking like sync; a header
    // frame; 40 frames of which the 11th is lost and junk lies before the
    // 21st; a frame cut off; an APE tag with a header; an ID3v1 tag.
    Bytes audio = Frames(40), cut = Frames(1);
    std::fill_n(audio.begin() + 10 * 417, 100, 0);
    audio.insert(audio.begin() + 20 * 417, 37, 'j');
    cut.resize(200);
    const auto layout = ScanMp3(Bytes{'I', 'D', '3', 4, 0, 0x10, 0, 0, 0, 80} + Bytes(90, 0xFF) +
                                Frames(1, Bytes(32, 0) + B("Xing") + N(1, -4) + N(40, -4)) + audio +
                                cut + Bytes(64, 0) + B("APETAGEX") + N(0, 4) + N(64, 4) + N(0, 4) +
                                N(1u << 31, 4) + Bytes(8, 0) + B("TAG") + Bytes(125, 0xFF));
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(
        std::vector({layout->frameCount, layout->headerFrameCount.value_or(0),
                     layout->frameOffsets[0], layout->frameOffsets[10], layout->frameOffsets[19]}),
        std::vector<std::uint64_t>({39, 40, 517, 517 + 11 * 417, 517 + 20 * 417 + 37}));
    EXPECT_DOUBLE_EQ(layout->Seconds(), 39 * 1152 / 44100.0);
    EXPECT_EQ(Id3v2TagBytes(Bytes{'I', 'D', '3', 4, 0, 0x10, 0, 0, 0, 80}.data()), 100u);
    EXPECT_EQ(Id3v2TagBytes(Bytes{'I', 'D', '3', 4, 0, 0, 0, 0x80, 0, 0}.data()), 0u);
    // Frames that cover less than half the bytes are chance matches.
    EXPECT_FALSE(ScanMp3(Frames(2) + Bytes(5000, 'a')) || ScanMp3(cut));
}

// A WAV header: the fmt chunk (and `fmtRest`), `between`, the data chunk's header.
Bytes Wav(int tag, int channels, int bits, std::uint32_t dataSize, const Bytes& fmtRest = {},
          const Bytes& between = {}) {
    const int align = channels * bits / 8;
    const Bytes fmt = N(tag, 2) + N(channels, 2) + N(44100, 4) + N(44100 * align, 4) + N(align, 2) +
                      N(bits, 2) + fmtRest;
    return B("RIFF") + N(0, 4) + B("WAVEfmt ") + N(fmt.size(), 4) + fmt + between + B("data") +
           N(dataSize, 4);
}

TEST(WavHeader, FindsTheSamplesAndRefusesWhatItCannotPlay) {
    // File size; float or not, bits, channels, where the samples start, their bytes.
    using Found = std::tuple<bool, int, int, std::uint64_t, std::uint64_t>;
    const std::tuple<Bytes, int, Found> cases[] = {
        {Wav(1, 2, 16, 4000), 4044, {false, 16, 2, 44, 4000}},
        {Wav(1, 1, 24, 3000, {}, B("LIST") + N(5, 4) + Bytes(6, 0)),
         4000,
         {false, 24, 1, 58, 3000}},
        {Wav(0xFFFE, 2, 32, 800, N(22, 2) + N(32, 2) + N(3, 4) + N(3, 2) + Bytes(14, 0)),
         900,
         {true, 32, 2, 68, 800}},
        // An unfinished data size: the samples run to the end, whole frames only.
        {Wav(1, 2, 16, 0xFFFFFFFF), 1046, {false, 16, 2, 44, 1000}}};
    for (const auto& [bytes, size, found] : cases) {
        const auto f = ParseWavHeader(bytes, size);
        ASSERT_TRUE(f.has_value()) << size;
        EXPECT_EQ(Found(f->isFloat, f->bitsPerSample, f->channels, f->dataOffset, f->dataBytes),
                  found);
    }
    Bytes noData = Wav(1, 2, 16, 100), badBlock = noData;
    noData.resize(36);
    badBlock[32] = 3;
    // No channels, 12 bits, ADPCM, 16-bit float, no data chunk, a wrong block size.
    for (const Bytes& bad : {Wav(1, 0, 16, 100), Wav(1, 2, 12, 100), Wav(2, 2, 4, 100),
                             Wav(3, 2, 16, 100), noData, badBlock}) {
        EXPECT_FALSE(ParseWavHeader(bad, 200).has_value()) << bad.size();
    }
}

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

// Before a render every command fails. Pause, Stop and the end hold the
// position; at the end the engine still runs: a seek back plays on. The rate
// holds across pauses and seeks; one set at the end comes with the next seek.
TEST(GstEngine, RefusesBeforeARenderHoldsThePositionAndKeepsTheRate) {
    GstElement* tap = MakeTap();  // playing in real time, keeping its last buffer
    g_object_set(tap, "sync", TRUE, "drop", TRUE, "max-buffers", 1, nullptr);
    auto failed = CreateGstEngine(MakeTap()), engine = CreateGstEngine(tap);
    EXPECT_FALSE(failed->RenderFile(Files().wav + ".missing"));
    EXPECT_FALSE(failed->RenderFile(Files().wav));  // one file per engine
    for (MediaEngine* e : {engine.get(), failed.get()}) {
        EXPECT_FALSE(e->Run() || e->Pause() || e->Stop() || e->Duration() || e->CurrentPosition() ||
                     e->SetCurrentPosition(3) || e->SetRate(0.5) || e->SetVolume(-2000) ||
                     e->SetBalance(-5000));
    }
    const auto playTo = [&](double second) {  // ten seconds at most
        for (int i = 0; i < 100 && engine->CurrentPosition().value_or(0) < second; ++i) {
            QTest::qSleep(100);
        }
        return engine->CurrentPosition().value_or(0);
    };
    ASSERT_TRUE(engine->RenderFile(Files().wav) && engine->Run());
    EXPECT_GE(playTo(0.2), 0.2);
    for (bool pause : {true, false}) {
        ASSERT_TRUE(pause ? engine->Pause() : engine->Stop());
        const std::optional<double> held = engine->CurrentPosition();
        QTest::qSleep(300);
        EXPECT_EQ(engine->CurrentPosition(), held) << pause;
        EXPECT_TRUE(engine->SetCurrentPosition(1) && engine->CurrentPosition() == 1.0) << pause;
        ASSERT_TRUE(engine->Run());
    }
    ASSERT_TRUE(engine->SetCurrentPosition(kLength - 0.3));
    EXPECT_EQ(playTo(kLength), kLength);
    QTest::qSleep(300);
    EXPECT_EQ(engine->CurrentPosition(), kLength);
    ASSERT_TRUE(engine->SetCurrentPosition(2));
    EXPECT_LT(playTo(2.1), kLength);
    ASSERT_TRUE(engine->SetCurrentPosition(kLength) && engine->Pause() && engine->Run());
    QTest::qSleep(200);
    EXPECT_EQ(engine->CurrentPosition(), kLength);
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

TEST_F(GstEngineRender, FailsQuicklyOnWhatIsNotAudioAndPlaysDamagedMp3sToTheirEnd) {
    const QByteArray wav = ReadBytes(Files().wav), clean = ReadBytes(Files().mp3Vbr);
    QByteArray noise(1 << 20, 0);
    std::generate(noise.begin(), noise.end(), std::mt19937(7));
    WriteBytes(PathOf("empty.mp3"), {});
    WriteBytes(PathOf("noise.mp3"), noise);
    WriteBytes(PathOf("notes.mp3"), QByteArray("Not a song at all.\n").repeated(500));
    WriteBytes(PathOf("header only.wav"), wav.left(44));
    WriteBytes(PathOf("nine channels.wav"), QByteArray(wav.left(1000)).replace(22, 1, "\x09"));
    for (const char* name : {"missing.mp3", "empty.mp3", "notes.mp3", "noise.mp3",
                             "header only.wav", "nine channels.wav"}) {
        // On a thread of its own: a render that blocks fails instead of hanging.
        auto result = std::make_shared<std::promise<bool>>();
        std::future<bool> rendered = result->get_future();
        std::thread([path = PathOf(name), result] {
            result->set_value(Rendered(path, MakeClockSink()) != nullptr);
        }).detach();
        ASSERT_EQ(rendered.wait_for(std::chrono::seconds(10)), std::future_status::ready) << name;
        EXPECT_FALSE(rendered.get()) << name;
    }

    const QByteArray cbr = ReadBytes(Files().mp3Cbr);
    const auto* first = reinterpret_cast<const std::uint8_t*>(cbr.data());
    WriteBytes(PathOf("one frame.mp3"), cbr.left(ParseMpegFrameHeader(first).value().frameBytes));
    auto single = Rendered(PathOf("one frame.mp3"), MakeClockSink());
    EXPECT_EQ(single ? single->Duration() : std::nullopt, 1152.0 / kRate);
    // The frames lost to the damage are gone; seeks stay exact, the end is the length.
    WriteBytes(PathOf("damaged.mp3"),
               QByteArray(clean).replace(clean.size() / 2, 3000, noise.left(3000)));
    const std::vector<float> all = PlayAll(PathOf("damaged.mp3"));
    GstElement* tap = MakeTap();
    auto engine = Rendered(PathOf("damaged.mp3"), tap);
    ASSERT_NE(engine, nullptr);
    const double length = engine->Duration().value_or(0);
    EXPECT_TRUE(length > 11 && length < 12) << length;
    EXPECT_NEAR(double(all.size() / 2) / kRate, length, 1e-9);
    ASSERT_TRUE(engine->SetCurrentPosition(10) && engine->Run());
    EXPECT_TRUE(PlaysSecond(tap, all, 10));
    Pull(tap);
    EXPECT_TRUE(WaitFor([&] { return engine->CurrentPosition() == length; }));
}

// What a loop of [start, end) seconds played from `from` sounds like: the
// file's samples from the section's end straight into its start, with the
// short crossfade before the seam from what leads into the start.
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

// Holds every read between `gate` and the file's last 4 KiB (where tags lie)
// until the test opens it.
class GatedReader final : public FileReader {
public:
    GatedReader(std::shared_ptr<FileReader> file, std::uint64_t gate)
        : file_(std::move(file)), gate_(gate) {}
    std::uint64_t Size() const override { return file_->Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override {
        if (offset + size > gate_ && offset < file_->Size() - 4096) {
            std::unique_lock lock(mutex_);
            opened_.wait(lock, [this] { return open_; });
        }
        return file_->ReadAt(offset, buffer, size);
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }

private:
    std::shared_ptr<FileReader> file_;
    std::uint64_t gate_;
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

// A mono source whose every sample is its frame number.
class Ramp final : public PcmSource {
public:
    int SampleRate() const override { return 1000; }
    int Channels() const override { return 1; }
    std::int64_t Frames() const override { return 100; }
    bool Seek(std::int64_t frame) override { return (next_ = frame) >= 0; }
    std::int64_t Read(float* samples, std::int64_t maxFrames) override {
        const std::int64_t frames = std::min(maxFrames, 100 - next_);
        std::iota(samples, samples + frames, float(next_));
        next_ += frames;
        return frames;
    }

private:
    std::int64_t next_ = 0;
};

// Across each seam the stream maps back to the file frame being heard: the
// crossfade before the seam still counts as the section's end.
TEST(EngineLoop, TheFeedMapsTheStreamToTheFileAcrossSeams) {
    Feed feed(std::make_unique<Ramp>(), 4);
    ASSERT_TRUE(feed.Seek(0) && feed.SetLoop(Section{20, 30}, 0));
    std::vector<float> out(64);
    for (std::int64_t read = 0, got = 1; read < 64 && got > 0; read += got) {
        got = feed.Read(out.data() + read, 64 - read);
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

// At double speed the loop leaves no gap in the tone; moving the section's
// end moves the seam.
TEST(EngineLoop, NoGapAtDoubleSpeedAndTheSeamFollowsTheEnd) {
    GstElement* tap = MakeTap();
    auto engine = CreateGstEngine(tap);
    ASSERT_TRUE(engine->RenderFile(Files().wav) && engine->SetRate(2.0));
    ASSERT_TRUE(engine->SetCurrentPosition(4) && engine->SetLoop(2, 5) && engine->Run());
    double lowest = 99, highest = -1;
    std::size_t quiet = 0, run = 0;
    const auto watch = [&](int chunks) {
        lowest = 99, highest = -1;
        for (int i = 0; i < chunks; ++i) {
            for (float sample : Pull(tap, kRate / 20)) {
                run = std::fabs(sample) < 1e-3f ? run + 1 : 0;
                quiet = std::max(quiet, run);
            }
            const double position = engine->CurrentPosition().value_or(-1);
            lowest = std::min(lowest, position), highest = std::max(highest, position);
        }
    };
    watch(20 * 30);  // 20 passes of 1.5 s of output
    EXPECT_TRUE(lowest >= 2 && highest > 4.5 && highest < 5) << lowest << " " << highest;
    EXPECT_LT(quiet, std::size_t(kRate / 500));  // never 1 ms of silence on both channels
    ASSERT_TRUE(engine->SetLoop(2, 6));
    watch(100);
    EXPECT_TRUE(highest > 5.5 && highest < 6) << highest;
}

// The open needs nothing of the file but its first 64 KiB and its end; a seek
// ahead of the frame walk waits for it and lands exactly.
TEST(EngineOpen, ReadsOnlyTheStartOfAnMp3AndSeeksAheadOfTheWalkExactly) {
    const std::vector<float> all = PlayAll(Files().longMp3);
    const auto file = OpenFileReader(Files().longMp3);
    ASSERT_TRUE(file != nullptr && file->Size() > 700u * 1024);
    auto gated = std::make_shared<GatedReader>(file, 64 * 1024);
    GstElement* tap = MakeTap();
    auto engine = CreateGstEngine(tap, [&](const QString&) { return gated; });
    ASSERT_TRUE(engine->RenderFile(Files().longMp3));
    EXPECT_FALSE(engine->LengthFinal());
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        gated->Open();
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

}  // namespace
