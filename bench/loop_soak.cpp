// Repeat mode in real time on the real engine: the main window loops a
// three-second section at double speed through its own tick, and the position
// is read between the ticks as often as the loop allows. Prints how many loops
// ran, how far past the section's end playback ever got (a missed loop plays
// on past 7 s) and how far before its start.
// Usage: bench_loop_soak [seconds, default 120]
#include "app/program_values.h"
#include "engine/gst_engine.h"
#include "support/bench_audio.h"
#include "support/bench_window.h"
#include "ui/folder_list.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gst/gst.h>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    const std::unique_ptr<QApplication> app = StartWindowBench(argc, argv);
    if (!app) {
        return 1;
    }
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
    QTemporaryDir dir;
    QFile cues(dir.filePath(QStringLiteral("soak.cue")));
    if (!MakeWav(dir.filePath(QStringLiteral("soak.wav")), 12) ||
        !cues.open(QIODevice::WriteOnly) ||
        cues.write("[0]00:00:00 - Start Point\r\n[3]00:00:03 - A\r\n[6]00:00:06 - B\r\n\r\n") < 0) {
        std::fprintf(stderr, "cannot write the recording\n");
        return 1;
    }
    cues.close();

    frmTembrel window(ProgramValues{}, [] {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", TRUE, nullptr);
        return CreateGstEngine(sink);
    });
    window.dirDirs->SetPath(dir.path());
    for (int i = 0; i < window.lstPath->ListCount(); ++i) {
        if (window.lstPath->List(i) == QStringLiteral("soak.wav")) {
            window.lstPath->SetListIndex(i);
        }
    }
    window.lstPath_DblClick();
    if (window.media == nullptr || window.lstCue->ListCount() != 3) {
        std::fprintf(stderr, "cannot open the recording\n");
        return 1;
    }
    window.S1->SetValue(200);
    window.mnuRepeat->trigger();
    window.lstCue->SetListIndex(1);
    window.lstCue_DblClick();

    double lowest = 3, highest = 3, before = 3;
    int loops = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000LL) {
        QThread::msleep(2);
        QApplication::processEvents();
        const double now = window.media->CurrentPosition().value_or(-1);
        lowest = std::min(lowest, now);
        highest = std::max(highest, now);
        loops += now < before - 1 ? 1 : 0;
        before = now;
    }
    // Each loop plays 3 s of sound in 1.5 s.
    std::printf("%d s at double speed: %d loops (%d expected), positions %.3f to %.3f s\n", seconds,
                loops, int(seconds / 1.5), lowest, highest);
    return 0;
}
