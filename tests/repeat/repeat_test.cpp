#include "engine/gst_engine.h"
#include "support/player_fixture.h"
#include "support/real_time.h"
#include "support/test_audio.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/picture_box.h"
#include "ui/pictures.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {

// The picture the repeat indicator shows now.
QImage Shown(const frmTembrel& window) {
    return window.picRepeat->pixmap().toImage();
}

QImage StripFrame(int frame) {
    return RepeatStrip().toImage().copy(frame * 20, 0, 20, 20);
}

class RepeatMode : public PlayerTest {};

}  // namespace

TEST_F(RepeatMode, IndicatorTurnsThroughThreeFramesAndTheStill) {
    window_->mnuRepeat->trigger();
    EXPECT_TRUE(window_->picRepeat->isVisibleTo(window_.get()));
    EXPECT_EQ(Shown(*window_), StripFrame(0));
    for (int frame : {1, 2, 3, 0, 1}) {
        window_->RepeatTick();
        EXPECT_EQ(Shown(*window_), StripFrame(frame)) << frame;
    }
    EXPECT_EQ(window_->repeatFrame, 1);

    // Off and on again: the last drawn step shows, and the sequence goes on.
    window_->mnuRepeat->trigger();
    window_->mnuRepeat->trigger();
    EXPECT_EQ(Shown(*window_), StripFrame(1));
    window_->RepeatTick();
    EXPECT_EQ(Shown(*window_), StripFrame(2));
}

TEST_F(RepeatMode, TheSwitchTurnsCheckMarkIndicatorsAndTimerTogether) {
    const auto state = [&] {
        return std::tuple(
            window_->mnuRepeat->isChecked(), window_->picRepeat->isVisibleTo(window_.get()),
            window_->lblRepeat->isVisibleTo(window_.get()), window_->tmrRepeat->isActive());
    };
    EXPECT_EQ(state(), std::tuple(false, false, false, false));
    window_->mnuRepeat->trigger();
    EXPECT_EQ(state(), std::tuple(true, true, true, true));
    EXPECT_EQ(window_->tmrRepeat->interval(), 200);
    window_->mnuRepeat->trigger();
    EXPECT_EQ(state(), std::tuple(false, false, false, false));
}

TEST_F(RepeatMode, TheTickLoopsTheCurrentSection) {
    const QByteArray cues =
        "[0]00:00:00 - Start Point\r\n[10]00:00:10 - A\r\n[15]00:00:15 - B\r\n\r\n";
    AddRecording(QStringLiteral("a.mp3"), 60, &cues);
    Open(QStringLiteral("a.mp3"));
    ASSERT_NE(Engine(), nullptr);
    window_->lstCue->SetListIndex(1);
    window_->lstCue_DblClick();
    window_->mnuRepeat->trigger();
    int loops = 0;
    double highest = 0;
    for (int tick = 0; tick < 2100; ++tick) {  // 21 s of 10 ms ticks
        const double before = Engine()->CurrentPosition().value();
        Play(0.01);
        const double after = Engine()->CurrentPosition().value();
        highest = std::max(highest, after);
        loops += after < before ? 1 : 0;
    }
    EXPECT_EQ(loops, 4);
    EXPECT_LT(highest, 15.0);
    EXPECT_EQ(window_->currentCue, 1);
}

TEST(RepeatWithRealEngine, ASectionLoopsForTenSecondsWithoutRunningPastTheNextCue) {
    ASSERT_TRUE(InitGstreamer());
    ProgramFolder program;
    QTemporaryDir music;
    const QString recording = music.path() + QStringLiteral("/Probe.wav");
    ASSERT_TRUE(QFile::copy(Files().wav, recording));
    QFile cueFile(music.path() + QStringLiteral("/Probe.cue"));
    ASSERT_TRUE(cueFile.open(QIODevice::WriteOnly));
    cueFile.write(
        "[0]00:00:00 - Start Point\r\n[2]00:00:02 - Loop\r\n[5]00:00:05 - Danach\r\n\r\n");
    cueFile.close();
    program.WriteSettings("[Kestrin's Tembrel]\nPfad=" + music.path().toUtf8() + "/\n");
    auto window = program.Start({}, [] { return CreateGstEngine(MakeClockSink()); });
    window->lstPath->SetListIndex(Lines(window->lstPath).indexOf(QStringLiteral("Probe.wav")));
    window->lstPath_DblClick();
    ASSERT_NE(window->media, nullptr);
    window->lstCue->SetListIndex(1);
    window->lstCue_DblClick();
    window->mnuRepeat->trigger();

    const LoopWatch watch = WatchLoops(10000, 2, [&] { return window->positionText.toDouble(); });
    // A tick may see the first tens of milliseconds of the next second before it jumps.
    EXPECT_LT(watch.highest, 5.5);
    EXPECT_GE(watch.loops, 2);
    EXPECT_EQ(window->currentCue, 1);
}
