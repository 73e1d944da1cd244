// Every format the player opens, on a generated recording (default one hour)
// with a click at every second over a quiet tone, 48 kHz stereo, encoded by
// ffmpeg. Reported per format: the time from the open until playback runs,
// the length the engine names against that of a full decode, the latency of
// 50 seeks to random whole seconds while paused (median and worst), and how
// far the 50 seeks land from the click in samples (largest).
// Usage: bench_formats [minutes, default 60]
#include "engine/gst_engine.h"
#include "engine/pcm_source.h"
#include "support/bench_audio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gst/gst.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>

namespace {

constexpr int kRate = 48000;

// One minute of the sound as a float WAV, then `minutes` of it in a row
// through the codec (a minute holds whole seconds, so the clicks go on).
bool Encode(const QString& minute, const QString& path, int minutes, const QStringList& codec) {
    if (!QFile::exists(minute)) {
        const QString click =
            QStringLiteral(
                "aevalsrc=if(lt(mod(n\\,%1)\\,1)\\,0.9\\,0.05*sin(2*PI*441.3*t))|"
                "if(lt(mod(n\\,%1)\\,1)\\,-0.45\\,0.05*sin(2*PI*441.3*t)):s=%1:d=60")
                .arg(kRate);
        if (QProcess::execute(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-f", "lavfi", "-i",
                                                         click, "-c:a", "pcm_f32le", minute}) !=
            0) {
            return false;
        }
    }
    return QProcess::execute(QStringLiteral("ffmpeg"),
                             QStringList{"-v", "error", "-y", "-stream_loop",
                                         QString::number(minutes - 1), "-i", minute} +
                                 codec + QStringList{path}) == 0;
}

// Decodes the whole file; its length in sample frames.
std::int64_t FullDecode(const QString& path) {
    auto source = OpenPcmSource(path);
    if (source == nullptr) {
        return -1;
    }
    std::vector<float> buffer(std::size_t(8192) * source->Channels());
    std::int64_t frames = 0;
    for (std::int64_t got; (got = source->Read(buffer.data(), 8192)) > 0;) {
        frames += got;
    }
    return frames;
}

// How far from the click at `second` a seek there lands, in samples.
std::int64_t SeekError(PcmSource& source, int second) {
    constexpr std::int64_t kAround = 2000;
    std::vector<float> samples(std::size_t(2 * kAround) * source.Channels());
    if (!source.Seek(std::int64_t(second) * kRate - kAround) ||
        source.Read(samples.data(), 2 * kAround) != 2 * kAround) {
        return kAround;
    }
    std::int64_t loudest = 0;
    for (std::int64_t i = 0; i < 2 * kAround; ++i) {
        if (std::abs(samples[std::size_t(i * source.Channels())]) >
            std::abs(samples[std::size_t(loudest * source.Channels())])) {
            loudest = i;
        }
    }
    return loudest - kAround;
}

void Measure(const char* label, const QString& path, int minutes) {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    auto engine = CreateGstEngine(sink);
    QElapsedTimer timer;
    timer.start();
    if (!engine->RenderFile(path) || !engine->Run()) {
        std::printf("%-6s cannot play\n", label);
        return;
    }
    const double renderMs = timer.nsecsElapsed() / 1e6;
    while (!engine->LengthFinal()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto named = std::llround(engine->Duration().value_or(0) * kRate);
    const std::int64_t decoded = FullDecode(path);
    std::mt19937 random(15);
    std::uniform_int_distribution<int> seconds(1, minutes * 60 - 1);
    std::vector<double> latencies;
    engine->Pause();
    for (int i = 0; i < 50; ++i) {
        timer.start();
        engine->SetCurrentPosition(seconds(random));
        latencies.push_back(timer.nsecsElapsed() / 1e6);
    }
    engine.reset();
    auto source = OpenPcmSource(path);
    std::int64_t worstError = 0;
    for (int i = 0; i < 50; ++i) {
        worstError = std::max(worstError, std::abs(SeekError(*source, seconds(random))));
    }
    std::printf(
        "%-6s render to playable %6.1f ms; length error %lld samples; seek median %5.2f ms, "
        "worst %6.2f ms; seek error at most %lld samples\n",
        label, renderMs, static_cast<long long>(named - decoded), Median(latencies),
        Worst(latencies), static_cast<long long>(worstError));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!InitGstreamer()) {
        return 1;
    }
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    QTemporaryDir dir;
    const std::tuple<const char*, const char*, QStringList> formats[] = {
        {"WAV", "take.wav", {"-c:a", "pcm_s24le"}},
        {"MP3", "take.mp3", {"-c:a", "libmp3lame", "-q:a", "4"}},
        {"FLAC", "take.flac", {"-c:a", "flac"}},
        {"Vorbis", "take.ogg", {"-c:a", "libvorbis", "-q:a", "5"}},
        {"Opus", "take.opus", {"-c:a", "libopus", "-b:a", "128k"}},
        {"AAC", "take.m4a", {"-c:a", "aac", "-b:a", "160k"}},
        {"ALAC", "alac.m4a", {"-c:a", "alac"}}};
    for (const auto& [label, name, codec] : formats) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        std::printf("Generating %d minutes of %s ...\n", minutes, label);
        std::fflush(stdout);
        if (!Encode(dir.filePath(QStringLiteral("minute.wav")), path, minutes, codec)) {
            std::fprintf(stderr, "cannot generate %s\n", label);
            return 1;
        }
        Measure(label, path, minutes);
    }
    return 0;
}
