#include "support/bench_window.h"

#include "app/program_values.h"
#include "engine/gst_engine.h"
#include "ui/folder_list.h"
#include "ui/list_box.h"

#include <QThread>
#include <QTimer>

#include <gst/gst.h>

#include <cstdio>

namespace {

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

}  // namespace

std::unique_ptr<QApplication> StartWindowBench(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    auto app = std::make_unique<QApplication>(argc, argv);
    if (!InitGstreamer()) {
        std::fprintf(stderr, "GStreamer cannot be used\n");
        return nullptr;
    }
    return app;
}

std::unique_ptr<MediaEngine> SilentEngine() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    return CreateGstEngine(sink);
}

BenchWindow::BenchWindow(const QString& folder) {
    window = std::make_unique<frmTembrel>(ProgramValues{}, [this] {
        return std::make_unique<RunClock>(SilentEngine(), clock, runAtMs);
    });
    window->Timer1->stop();
    window->dirDirs->SetPath(folder);
}

double BenchWindow::Open(const QString& name, int clickMs) {
    int entry = window->lstPath->ListCount() - 1;
    while (entry >= 0 && window->lstPath->List(entry) != name) {
        --entry;
    }
    window->CleanUp();  // the last recording's engine goes before the clock runs
    window->lstPath->SetListIndex(entry);
    QThread::msleep(clickMs);
    runAtMs = -1;
    clock.start();
    window->lstPath_DblClick();
    return runAtMs;
}
