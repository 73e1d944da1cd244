// Opening through the main window and the cost of the playback tick.
// - Open: from the double-click on a file entry to the engine's Run, against
//   the engine's own render time measured in the same run, on a 3-hour MP3
//   and a 1-hour WAV (median of 5).
// - Tick: the mean cost of one tick while playing with 500 cue points.
// Usage: bench_playback [minutes of MP3, default 180]
#include "engine/gst_engine.h"
#include "support/bench_audio.h"
#include "support/bench_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gst/gst.h>

#include <cstdio>

namespace {

constexpr int kRuns = 5;

void MeasureOpen(const QString& folder, const QString& name) {
    std::vector<double> engineMs;
    std::vector<double> openMs;
    BenchWindow window(folder);
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<MediaEngine> engine = SilentEngine();
        if (!engine->RenderFile(folder + QLatin1Char('/') + name)) {
            std::printf("%s: the engine cannot render it\n", qPrintable(name));
            return;
        }
        engineMs.push_back(timer.nsecsElapsed() / 1e6);
        engine.reset();
        openMs.push_back(window.Open(name));
    }
    std::printf(
        "%-14s engine render %7.1f ms, double-click to Run %7.1f ms (worst %.1f), ratio %.2f\n",
        qPrintable(name), Median(engineMs), Median(openMs), Worst(openMs),
        Median(openMs) / Median(engineMs));
}

void MeasureTick(const QString& folder, const QString& name) {
    QFile cues(folder + QStringLiteral("/tick.cue"));
    if (!cues.open(QIODevice::WriteOnly)) {
        return;
    }
    for (int i = 0; i < 500; ++i) {
        cues.write(QStringLiteral("[%1]00:00:00 - Cue %2\r\n").arg(i * 7 + 3).arg(i).toLatin1());
    }
    cues.close();
    QFile::copy(folder + QLatin1Char('/') + name, folder + QStringLiteral("/tick.wav"));
    BenchWindow window(folder);
    window.Open(QStringLiteral("tick.wav"));
    // Two seconds of ticks, so that the real position queries (one a
    // second) count as well.
    int ticks = 0;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 2000) {
        window.window->Timer1_Timer();
        ++ticks;
    }
    std::printf("tick while playing, 500 cue points: %.5f ms per tick\n",
                timer.nsecsElapsed() / 1e6 / ticks);
}

}  // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<QApplication> app = StartWindowBench(argc, argv);
    if (!app) {
        return 1;
    }
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 180;
    QTemporaryDir dir;
    const QString d = dir.path();
    std::printf("Generating a %d-minute MP3 and a one-hour WAV...\n", minutes);
    if (!MakeMp3(d, d + QStringLiteral("/long.mp3"), false, minutes) ||
        !MakeWav(d + QStringLiteral("/hour.wav"), 3600)) {
        std::fprintf(stderr, "cannot generate the recordings\n");
        return 1;
    }
    QFile::remove(d + QStringLiteral("/segment-vbr.mp3"));
    MeasureOpen(d, QStringLiteral("long.mp3"));
    MeasureOpen(d, QStringLiteral("hour.wav"));
    MeasureTick(d, QStringLiteral("hour.wav"));
    return 0;
}
