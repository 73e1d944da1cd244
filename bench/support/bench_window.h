#pragma once

#include "ui/frm_tembrel.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>

// A real engine playing into a synced fakesink: real timing, no sound.
std::unique_ptr<MediaEngine> SilentEngine();

// A main window on silent engines, showing a folder; Open selects an entry,
// as a double-click's first click does, and times the double-click that
// follows `clickMs` later up to the engine's first Run.
struct BenchWindow {
    QElapsedTimer clock;
    double runAtMs = -1;
    std::unique_ptr<frmTembrel> window;

    explicit BenchWindow(const QString& folder);
    // Milliseconds from the double-click to Run, -1 when playback never ran.
    double Open(const QString& name, int clickMs = 0);
};
