// Two minutes of real playback at double speed, looping a three-second
// section with the real engine and the window's own tick: no loop is missed.
#include "engine/gst_engine.h"
#include "support/message_watcher.h"
#include "support/program_fixture.h"
#include "support/real_time.h"
#include "support/test_audio.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(RealTimeSoak, TwoMinutesAtDoubleSpeedNeverMissALoop) {
    ASSERT_TRUE(InitGstreamer());
    QTemporaryDir music;
    ASSERT_TRUE(QFile::copy(Files().wav, music.filePath(QStringLiteral("Probe.wav"))));
    QFile cues(music.filePath(QStringLiteral("Probe.cue")));
    ASSERT_TRUE(cues.open(QIODevice::WriteOnly));
    cues.write("[0]00:00:00 - Start Point\r\n[3]00:00:03 - A\r\n[6]00:00:06 - B\r\n\r\n");
    cues.close();

    ProgramFolder program;
    program.WriteSettings("[Kestrin's Tembrel]\nPfad=" + music.path().toUtf8() + "/\n");
    MessageWatcher messages;
    std::unique_ptr<frmTembrel> window =
        program.Start({}, [] { return CreateGstEngine(MakeClockSink()); });
    window->lstPath->SetListIndex(Lines(window->lstPath).indexOf(QStringLiteral("Probe.wav")));
    window->lstPath_DblClick();
    ASSERT_NE(window->media, nullptr);
    ASSERT_EQ(window->lstCue->ListCount(), 3);
    ASSERT_TRUE(window->S1->SetValue(200));
    window->mnuRepeat->trigger();
    window->lstCue->SetListIndex(1);
    window->lstCue_DblClick();

    // The position is read between the ticks, as often as the loop can.
    const LoopWatch watch =
        WatchLoops(120000, 3, [&] { return window->media->CurrentPosition().value_or(-1); });
    EXPECT_GE(watch.lowest, 3.0);
    // A missed loop would play on past 7 s; a tick comes every 10 ms (20 ms
    // of sound), so half a second allows for a busy machine.
    EXPECT_LT(watch.highest, 6.5);
    // Each loop plays 3 s of sound in 1.5 s.
    EXPECT_GE(watch.loops, 70) << "highest position " << watch.highest;
    EXPECT_TRUE(messages.texts().isEmpty());
    std::printf("loops %d, highest position %.3f s\n", watch.loops, watch.highest);
}
