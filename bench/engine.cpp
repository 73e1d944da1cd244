// Measures the GStreamer media engine on long generated files: time from
// render to playable, length error, seek latency and seek error, CPU while
// playing, peak memory. Generates its files into a temporary folder and
// measures each in a child process of its own, so memory figures are the
// engine's. Usage: bench_engine [minutes of MP3, default 180]

#include "engine/decoders/mp3_length.h"
#include "engine/gst_engine.h"
#include "support/bench_audio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gst/gst.h>
#include <mpg123.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr std::size_t kCapture = 4096;  // stereo frames compared after each seek
constexpr int kShiftRange = 8192;       // how far a seek error is searched for

// The decoded stream read from its start without any seek: its length and
// the frames at each target.
struct Reference {
    std::int64_t frames = 0;
    std::map<int, std::vector<float>> windows;  // from target - kShiftRange
};

Reference DecodeReference(const QString& path, const std::vector<int>& targets) {
    Reference ref;
    std::map<std::int64_t, int> starts;
    for (int t : targets) {
        starts[std::int64_t(t) * kRate - kShiftRange] = t;
    }
    std::size_t windowFloats = 2 * (2 * kShiftRange + kCapture);
    auto take = [&](const float* data, std::int64_t first, std::int64_t count) {
        for (auto& [start, target] : starts) {
            auto& window = ref.windows[target];
            for (std::int64_t i = std::max(first, start); i < first + count; ++i) {
                if (window.size() >= windowFloats) {
                    break;
                }
                std::size_t at = std::size_t(i - start);
                if (at == window.size() / 2) {
                    window.push_back(data[2 * (i - first)]);
                    window.push_back(data[2 * (i - first) + 1]);
                }
            }
        }
    };
    std::vector<float> block(2 * 65536);
    if (path.endsWith(".wav")) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        file.seek(44);
        std::vector<std::int16_t> raw(block.size());
        qint64 got;
        while ((got = file.read(reinterpret_cast<char*>(raw.data()), raw.size() * 2)) > 0) {
            std::int64_t n = got / 4;
            for (std::int64_t i = 0; i < 2 * n; ++i) {
                block[i] = float(raw[i] / 32768.0);
            }
            take(block.data(), ref.frames, n);
            ref.frames += n;
        }
        return ref;
    }
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET | MPG123_FORCE_FLOAT, 0);
    mpg123_format_none(mh);
    mpg123_format(mh, kRate, MPG123_STEREO, MPG123_ENC_FLOAT_32);
    mpg123_open(mh, QFile::encodeName(path).constData());
    for (;;) {
        size_t done = 0;
        int result = mpg123_read(mh, block.data(), block.size() * sizeof(float), &done);
        std::int64_t n = std::int64_t(done / 8);
        take(block.data(), ref.frames, n);
        ref.frames += n;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            break;
        }
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    return ref;
}

// Offset in frames between what a seek played and the reference; a large
// value when no offset within the range fits.
int SeekError(const std::vector<float>& played, const std::vector<float>& window) {
    if (played.size() < 2 * kCapture) {
        return 1 << 30;
    }
    for (int distance = 0; distance <= kShiftRange; ++distance) {
        for (int shift : {distance, -distance}) {
            std::size_t at = std::size_t(2 * (kShiftRange + shift));
            if (at + 2 * kCapture > window.size()) {
                continue;
            }
            if (std::equal(played.begin(), played.begin() + 2 * kCapture, window.begin() + at)) {
                return shift;
            }
        }
    }
    return 1 << 30;
}

double CpuSeconds() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long StatusKb(const char* key) {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(int(strlen(key))).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

GstElement* ClockSink() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

// Measures one file in this process and prints one line of figures.
int Measure(const QString& path, const QString& label) {
    if (!InitGstreamer()) {
        return 1;
    }
    long baseKb = StatusKb("VmRSS:");
    std::vector<double> renderMs;
    double length = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        auto engine = CreateGstEngine(ClockSink());
        if (!engine->RenderFile(path)) {
            std::printf("%-22s render failed\n", qPrintable(label));
            return 1;
        }
        renderMs.push_back(timer.nsecsElapsed() / 1e6);
        length = engine->Duration().value_or(0);
    }

    // Seeks on a fresh engine, so the first far seeks count too.
    std::mt19937 random(42);
    std::vector<int> targets;
    for (int i = 0; i < 50; ++i) {
        targets.push_back(1 + int(random() % std::uint32_t(length - 2)));
    }
    GstElement* tap = gst_element_factory_make("appsink", nullptr);
    GstCaps* caps = gst_caps_from_string("audio/x-raw,format=F32LE,channels=2");
    g_object_set(tap, "caps", caps, "sync", FALSE, "max-buffers", 4, nullptr);
    gst_caps_unref(caps);
    std::vector<double> seekMs;
    std::map<int, std::vector<float>> played;
    int wrongPositions = 0;
    {
        auto engine = CreateGstEngine(GST_ELEMENT(gst_object_ref(tap)));
        engine->RenderFile(path);
        for (int target : targets) {
            QElapsedTimer timer;
            timer.start();
            engine->SetCurrentPosition(target);
            seekMs.push_back(timer.nsecsElapsed() / 1e6);
            wrongPositions += engine->CurrentPosition() != double(target);
            engine->Run();
            PullSamples(tap, played[target], 2 * kCapture, GST_SECOND);
            engine->Pause();
        }
    }
    gst_object_unref(tap);

    // CPU while playing in real time.
    double cpu[2] = {};
    {
        auto engine = CreateGstEngine(ClockSink());
        engine->RenderFile(path);
        engine->SetCurrentPosition(length / 3);
        double rates[2] = {1.0, 0.5};
        for (int i = 0; i < 2; ++i) {
            engine->SetRate(rates[i]);
            engine->Run();
            QElapsedTimer wall;
            wall.start();
            double start = CpuSeconds();
            std::this_thread::sleep_for(std::chrono::seconds(8));
            cpu[i] = 100.0 * (CpuSeconds() - start) / (wall.nsecsElapsed() / 1e9);
        }
    }
    long peakKb = StatusKb("VmHWM:");

    Reference ref = DecodeReference(path, targets);
    double referenceLength = double(ref.frames) / kRate;
    std::vector<double> errors;
    for (int target : targets) {
        errors.push_back(std::abs(SeekError(played[target], ref.windows[target])));
    }
    std::printf(
        "%-22s render ms %6.1f / %6.1f | length %9.3f s, error %8.3f ms | seek ms %5.2f / %6.2f"
        " | seek error %4.0f / %4.0f samples, %d wrong positions | cpu %% %4.2f @1.0 %4.2f "
        "@0.5 | peak MB %5.1f (engine %5.1f)\n",
        qPrintable(label), Median(renderMs), Worst(renderMs), length,
        1000 * (length - referenceLength), Median(seekMs), Worst(seekMs), Median(errors),
        Worst(errors), wrongPositions, cpu[0], cpu[1], peakKb / 1024.0, (peakKb - baseKb) / 1024.0);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == "--measure") {
        return Measure(args[2], args[3]);
    }
    int minutes = args.size() > 1 ? args[1].toInt() : 180;
    if (minutes < 10 || !InitGstreamer()) {
        std::fprintf(stderr, "usage: bench_engine [minutes >= 10]\n");
        return 2;
    }
    QTemporaryDir dir;
    QString d = dir.path();
    std::printf("Generating %d-minute files in %s ...\n", minutes, qPrintable(d));
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    bool ok =
        MakeMp3(d, d + "/vbr.mp3", false, minutes) && MakeMp3(d, d + "/cbr.mp3", true, minutes) &&
        AddXingHeader(d + "/vbr.mp3", d + "/vbr-xing.mp3") && MakeWav(d + "/one-hour.wav", 3600);
    if (!ok) {
        std::fprintf(stderr, "could not generate the files\n");
        return 1;
    }
    std::printf("Generated in %.0f s. Median / worst; 5 renders; 50 random whole-second seeks.\n",
                timer.elapsed() / 1000.0);
    std::fflush(stdout);
    const std::pair<const char*, const char*> files[] = {{"/vbr-xing.mp3", "VBR MP3 with Xing"},
                                                         {"/vbr.mp3", "VBR MP3 without Xing"},
                                                         {"/cbr.mp3", "CBR MP3"},
                                                         {"/one-hour.wav", "WAV (1 hour)"}};
    for (auto [name, label] : files) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(), {"--measure", d + name, label});
        child.waitForFinished(-1);
    }
    return 0;
}
