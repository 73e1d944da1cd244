// Opening through the main window and the cost of the playback tick.
// - Open: from the double-click on a file entry to the engine's Run, against
//   the engine's own render time measured in the same run, on a 3-hour MP3
//   and a 1-hour WAV (median of 5).
// - Tick: the mean cost of one tick while playing with 500 cue points.
// Usage: bench_playback [minutes of MP3, default 180]
#include "app/program_values.h"
#include "engine/gst_engine.h"
#include "support/bench_audio.h"
#include "ui/folder_list.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gst/gst.h>

#include <cstdio>

namespace {

constexpr int kRuns = 5;

// Passes every call to a real engine and notes when playback first starts.
class RunClock final : public MediaEngine {
public:
    RunClock(std::unique_ptr<MediaEngine> engine, const QElapsedTimer& clock, double& runAtMs)
        : engine_(std::move(engine)), clock_(clock), runAtMs_(runAtMs) {}

    bool RenderFile(const QString& path) override { return engine_->RenderFile(path); }
    bool Run() override {
        if (runAtMs_ < 0) {
            runAtMs_ = clock_.nsecsElapsed() / 1e6;
        }
        return engine_->Run();
    }
    bool Pause() override { return engine_->Pause(); }
    bool Stop() override { return engine_->Stop(); }
    std::optional<double> Duration() override { return engine_->Duration(); }
    std::optional<double> CurrentPosition() override { return engine_->CurrentPosition(); }
    bool SetCurrentPosition(double seconds) override {
        return engine_->SetCurrentPosition(seconds);
    }
    bool SetLoop(int start, int end) override { return engine_->SetLoop(start, end); }
    bool ClearLoop() override { return engine_->ClearLoop(); }
    bool SetRate(double rate) override { return engine_->SetRate(rate); }
    bool SetVolume(long volume) override { return engine_->SetVolume(volume); }
    bool SetBalance(long balance) override { return engine_->SetBalance(balance); }

private:
    std::unique_ptr<MediaEngine> engine_;
    const QElapsedTimer& clock_;
    double& runAtMs_;
};

std::unique_ptr<MediaEngine> SilentEngine() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    return CreateGstEngine(sink);
}

// A main window on silent engines, showing a folder.
struct Window {
    QElapsedTimer clock;
    double runAtMs = -1;
    std::unique_ptr<frmTembrel> window;

    explicit Window(const QString& folder) {
        window = std::make_unique<frmTembrel>(ProgramValues{}, [this] {
            return std::make_unique<RunClock>(SilentEngine(), clock, runAtMs);
        });
        window->Timer1->stop();
        window->dirDirs->SetPath(folder);
    }

    // Double-clicks the entry and returns the milliseconds until Run.
    double Open(const QString& name) {
        int entry = window->lstPath->ListCount() - 1;
        while (entry >= 0 && window->lstPath->List(entry) != name) {
            --entry;
        }
        window->lstPath->SetListIndex(entry);
        runAtMs = -1;
        clock.start();
        window->lstPath_DblClick();
        return runAtMs;
    }
};

void MeasureOpen(const QString& folder, const QString& name) {
    std::vector<double> engineMs;
    std::vector<double> openMs;
    Window window(folder);
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
    Window window(folder);
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (!InitGstreamer()) {
        std::fprintf(stderr, "GStreamer cannot be used\n");
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
