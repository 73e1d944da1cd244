// The engine's section loop, measured on a generated recording of sustained
// chords (no clicks, so any jump in the waveform is the seam's):
// - through the feed itself, for crossfades of 0, 2.5, 5 and 10 ms: the loop
//   length error in sample frames over 20 passes and the largest sample step
//   at the seams against the largest step inside the music;
// - through the real engine to an appsink at rates 1.0 and 0.5: samples of
//   silence at the seams and the largest step near them.
// Usage: bench_loop_seam
#include "engine/feed.h"
#include "engine/gst_engine.h"
#include "engine/pcm_source.h"
#include "support/bench_audio.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kRate = 44100;
constexpr int kStart = 5, kEnd = 8, kPasses = 20;

// 16-bit stereo chords whose notes swell and fade, so the waveform at the
// loop's end and at its start differ.
bool WriteChords(const QString& path, int seconds) {
    const std::int64_t frames = std::int64_t(seconds) * kRate;
    QByteArray out("RIFF");
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.append(char(value >> (8 * i)));
        }
    };
    put(std::uint32_t(36 + frames * 4), 4);
    out.append("WAVEfmt ");
    put(16, 4), put(1, 2), put(2, 2), put(kRate, 4), put(kRate * 4, 4), put(4, 2), put(16, 2);
    out.append("data");
    put(std::uint32_t(frames * 4), 4);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        double left = 0, right = 0;
        for (double note : {220.0, 277.18, 329.63, 440.0}) {
            const double swell = 0.5 + 0.5 * std::sin(2 * M_PI * t * note / 1000);
            left += 0.12 * swell * std::sin(2 * M_PI * note * t);
            right += 0.12 * swell * std::sin(2 * M_PI * note * 1.5 * t + 1);
        }
        put(std::uint16_t(std::int16_t(std::lround(left * 32767))), 2);
        put(std::uint16_t(std::int16_t(std::lround(right * 32767))), 2);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

// Largest step between neighbouring frames of the left channel in [from, to).
float LargestStep(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    float largest = 0;
    for (std::size_t i = std::max<std::size_t>(from, 1); i < to && i < samples.size() / 2; ++i) {
        largest = std::max(largest, std::fabs(samples[2 * i] - samples[2 * i - 2]));
    }
    return largest;
}

void ThroughTheFeed(const QString& path, double fadeMs) {
    Feed feed(OpenPcmSource(path), std::int64_t(fadeMs * kRate / 1000));
    const std::int64_t length = std::int64_t(kEnd - kStart) * kRate;
    feed.Seek(std::uint64_t(kStart) * GST_SECOND);
    feed.SetLoop(Section{kStart * std::int64_t(kRate), kEnd * std::int64_t(kRate)}, 0);
    std::vector<float> out;
    std::vector<std::size_t> seams;
    std::vector<float> buffer(Feed::kBufferFrames * 2);
    std::int64_t worstLengthError = 0;
    while (seams.size() < std::size_t(kPasses)) {
        const std::int64_t before = feed.NextFileFrame();
        const std::int64_t got = feed.Read(buffer.data(), Feed::kBufferFrames);
        out.insert(out.end(), buffer.begin(), buffer.begin() + got * 2);
        if (feed.NextFileFrame() < before + got) {  // the read crossed a seam
            seams.push_back(out.size() / 2);
            if (seams.size() > 1) {
                worstLengthError = std::max<std::int64_t>(
                    worstLengthError,
                    std::llabs(std::int64_t(seams.back() - seams[seams.size() - 2]) - length));
            }
        }
    }
    float atSeams = 0;
    const std::size_t near = kRate / 100;  // 10 ms
    for (std::size_t seam : seams) {
        atSeams = std::max(atSeams, LargestStep(out, seam - near, seam + near));
    }
    const float inside = LargestStep(out, 0, seams.front() - near);
    std::printf(
        "feed, %4.1f ms crossfade: loop length error %lld frames; largest step at the "
        "seams %.4f, inside the music %.4f (ratio %.2f)\n",
        fadeMs, (long long)worstLengthError, atSeams, inside, atSeams / inside);
}

void ThroughTheEngine(const QString& path, double rate) {
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    GstCaps* caps = gst_caps_from_string("audio/x-raw,format=F32LE,channels=2");
    g_object_set(sink, "caps", caps, "sync", FALSE, "max-buffers", 8, nullptr);
    gst_caps_unref(caps);
    gst_object_ref(sink);
    auto engine = CreateGstEngine(sink);
    engine->RenderFile(path);
    engine->SetRate(rate);
    engine->SetCurrentPosition(kEnd - 1);
    engine->SetLoop(kStart, kEnd);
    engine->Run();
    const std::size_t wanted = std::size_t((1 + kPasses * (kEnd - kStart)) * kRate / rate);
    std::vector<float> out;
    PullSamples(sink, out, 2 * wanted, 5 * GST_SECOND);
    engine.reset();
    gst_object_unref(sink);
    // Silence: the longest run of frames where both channels are all but zero.
    std::size_t run = 0, longest = 0;
    for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
        run = std::fabs(out[i]) < 1e-4f && std::fabs(out[i + 1]) < 1e-4f ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    // The seams lie one second of file, then every pass, apart (in output
    // frames at this rate); steps are looked for within 20 ms of each.
    // "Inside the music" is everything else but the first 100 ms, where the
    // tempo filter settles.
    const double first = kRate / rate, pass = (kEnd - kStart) * kRate / rate;
    const std::size_t near = kRate / 50;
    float atSeams = 0, inside = 0;
    std::size_t from = kRate / 10;
    for (int k = 0; k < kPasses; ++k) {
        const auto seam = std::size_t(first + k * pass);
        atSeams = std::max(atSeams, LargestStep(out, seam - near, seam + near));
        inside = std::max(inside, LargestStep(out, from, seam - near));
        from = seam + near;
    }
    std::printf(
        "engine at rate %.1f: %zu frames played, longest silence %zu frames; largest "
        "step near the seams %.4f, inside the music %.4f (ratio %.2f)\n",
        rate, out.size() / 2, longest, atSeams, inside, atSeams / inside);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!InitGstreamer()) {
        return 1;
    }
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/chords.wav");
    if (!WriteChords(path, 20)) {
        return 1;
    }
    for (double fade : {0.0, 2.5, 5.0, 10.0}) {
        ThroughTheFeed(path, fade);
    }
    ThroughTheEngine(path, 1.0);
    ThroughTheEngine(path, 0.5);
    return 0;
}
