#pragma once

#include "ui/frm_tembrel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QString>

#include <memory>

// The application of a bench that shows windows (on the offscreen platform
// unless another is set) with GStreamer ready; none, with a message, when
// GStreamer cannot be used. `argc` must outlive it.
std::unique_ptr<QApplication> StartWindowBench(int& argc, char** argv);

// A real engine playing into a synced fakesink: real timing, no sound.
std::unique_ptr<MediaEngine> SilentEngine();

// A main window on silent engines, showing a folder; Open closes the open
// recording, selects an entry as a double-click's first click does, and
// times the double-click that follows `clickMs` later up to the engine's
// first Run.
struct BenchWindow {
    QElapsedTimer clock;
    double runAtMs = -1;
    std::unique_ptr<frmTembrel> window;

    explicit BenchWindow(const QString& folder);
    // Milliseconds from the double-click to Run, -1 when playback never ran.
    double Open(const QString& name, int clickMs = 0);
};
