// Opening a long MP3 from slow storage: a reader that lets 25 MB/s through
// (an SD card or a USB stick) stands between the engine and a generated
// three-hour 192 kbit/s MP3, with and without a Xing header. Reported: bytes
// read and time from the open until playback runs, the time of a seek to the
// last minute while the frame walk is still going, and how long the walk
// takes; then the same without the slow reader (warm page cache).
// Usage: bench_open_slow_storage [minutes, default 180]
#include "engine/gst_engine.h"
#include "support/bench_audio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// Lets bytes through at a fixed rate and counts them.
class SlowReader final : public FileReader {
public:
    SlowReader(std::shared_ptr<FileReader> file, double bytesPerSecond)
        : file_(std::move(file)), bytesPerSecond_(bytesPerSecond) {}
    std::uint64_t Size() const override { return file_->Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override {
        const std::size_t got = file_->ReadAt(offset, buffer, size);
        bytes += got;
        if (bytesPerSecond_ > 0) {
            std::this_thread::sleep_for(std::chrono::duration<double>(got / bytesPerSecond_));
        }
        return got;
    }
    std::atomic<std::uint64_t> bytes = 0;

private:
    std::shared_ptr<FileReader> file_;
    double bytesPerSecond_;
};

void Measure(const QString& path, const char* label, double bytesPerSecond) {
    std::shared_ptr<SlowReader> reader;
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    auto engine = CreateGstEngine(sink, [&](const QString& file) {
        reader = std::make_shared<SlowReader>(OpenFileReader(file), bytesPerSecond);
        return reader;
    });
    QElapsedTimer timer;
    timer.start();
    if (!engine->RenderFile(path) || !engine->Run()) {
        std::printf("%s: cannot play\n", label);
        return;
    }
    const double runMs = timer.nsecsElapsed() / 1e6;
    const double readMiB = reader->bytes / 1048576.0;
    const double estimate = engine->Duration().value_or(0);
    const bool walking = !engine->LengthFinal();
    timer.start();
    engine->SetCurrentPosition(estimate - 60);
    const double seekMs = timer.nsecsElapsed() / 1e6;
    while (!engine->LengthFinal()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const double walkedMs = timer.nsecsElapsed() / 1e6 + seekMs * 0;
    std::printf(
        "%-30s open to Run %7.1f ms, %6.2f MiB read; length at open %9.3f s, exact "
        "%9.3f s; seek to the last minute %s%8.1f ms; walk done %8.1f ms later\n",
        label, runMs, readMiB, estimate, engine->Duration().value_or(0),
        walking ? "(walk running) " : "(walk done)    ", seekMs, walkedMs);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!InitGstreamer()) {
        return 1;
    }
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 180;
    QTemporaryDir dir;
    const QString plain = dir.path() + "/long.mp3", xing = dir.path() + "/long-xing.mp3";
    std::printf("Generating a %d-minute 192 kbit/s MP3 ...\n", minutes);
    if (!MakeMp3(dir.path(), plain, true, minutes, 192) || !AddXingHeader(plain, xing)) {
        std::fprintf(stderr, "cannot generate the recording\n");
        return 1;
    }
    std::printf("%.0f MB\n", QFile(plain).size() / 1e6);
    constexpr double kSlow = 25e6;
    Measure(xing, "Xing header, 25 MB/s", kSlow);
    Measure(plain, "no Xing header, 25 MB/s", kSlow);
    Measure(xing, "Xing header, page cache", 0);
    Measure(plain, "no Xing header, page cache", 0);
    return 0;
}
