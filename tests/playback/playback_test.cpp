// Opening, the transport, the jumps, the tick, the slider drag and repeat mode.
#include "lyrics/lyrics_naming.h"
#include "support/program_test.h"
#include "ui/picture_box.h"
#include "ui/pictures.h"

#include <QDialog>

#include <cmath>

TEST(TimeText, CutsToWholeSecondsWithinItsRangeAndRoundingHalvesGoToEven) {
    const std::tuple<double, const char*, long long> cases[] = {
        {0.99, "00:00:00", 1},      {1, "00:00:01", 1},           {2.5, "00:00:02", 2},
        {3.5, "00:00:03", 4},       {-2.5, "00:00:00", -2},       {12330.4, "03:25:30", 12330},
        {86400, "24:00:00", 86400}, {89999.9, "24:59:59", 90000}, {90000, "24:59:59", 90000},
        {1e300, "24:59:59", 0},     {NAN, "00:00:00", 0}};
    for (const auto& [seconds, text, rounded] : cases) {
        EXPECT_EQ(TimeText(seconds), QLatin1String(text)) << seconds;
        EXPECT_EQ(RoundToEven(seconds), rounded) << seconds;
    }
}

class Playback : public ProgramTest {
protected:
    // Position, slider, current cue, selected line, engine state and title.
    std::string State() const {
        return QString::asprintf("%g %d %d %d%s%s %s", Engine()->CurrentPosition().value_or(-1),
                                 window_->H1->Value(), window_->currentCue,
                                 window_->lstCue->ListIndex(), Engine()->running() ? "" : " held",
                                 window_->isPaused ? " paused" : "",
                                 qPrintable(window_->txtCueTitle->text()))
            .toStdString();
    }
};

TEST_F(Playback, OpeningListsTheStartPointAndPlaysFromZeroAtTheSetVolume) {
    window_->V1->SetValue(-700);
    // Length, its text, the slider's maximum (halves to even) and page step (a
    // tenth, at least 1). Names with double quotes open too.
    const std::tuple<double, const char*, int, int> cases[] = {
        {600, "00:10:00", 600, 60},
        {9.5, "00:00:09", 10, 1},
        {0.4, "00:00:00", 0, 1},
        {24 * 3600 + 0.5, "24:00:00", 86400, 8640}};
    for (const auto& [seconds, text, max, page] : cases) {
        const QString name = QString("Take \"%1\".wav").arg(seconds);
        AddRecording(name, seconds);
        Open(name);
        ASSERT_NE(Engine(), nullptr) << seconds;
        Play(0);
        EXPECT_EQ(State(), "0 0 0 0 Start Point");
        EXPECT_EQ(Lines(window_->lstCue), QStringList("00:00:00 - Start Point"));
        EXPECT_EQ(window_->cueFile, PathOf(QString("Take \"%1\".cue").arg(seconds)));
        EXPECT_TRUE(window_->txtLength1->text() == text && window_->H1->isEnabled());
        EXPECT_EQ(std::pair(window_->H1->Max(), window_->H1->LargeChange()), std::pair(max, page));
        const QStringList& calls = Engine()->calls();
        EXPECT_LT(calls.indexOf("SetVolume(-700)"), calls.indexOf("Run"));
        EXPECT_GE(calls.indexOf("SetVolume(-700)"), 0);
        Play(seconds);
        EXPECT_EQ(window_->H1->Value(), max) << seconds;
    }
    EXPECT_EQ(ReadBytes(PathOf("Take \"600\".cue")), "<missing>");  // opening writes no cue file
    EXPECT_TRUE(messages_.texts().isEmpty());
}

TEST_F(Playback, FailedOpeningsReleaseEverythingSilently) {
    const QByteArray damaged = "[0]00:00:00 - Start Point\r\n[]00:00:10 - x\r\n";
    AddRecording("damaged.mp3", 600, &damaged);
    AddRecording("broken.mp3", 600);
    control_->lengths.erase(PathOf("broken.mp3"));  // the engine cannot render it
    AddRecording("good.mp3", 600);
    // A damaged cue file, a file the engine cannot render, and an engine that
    // fails a call of the open up to the Play at its end.
    const std::pair<const char*, const char*> cases[] = {
        {"damaged.mp3", ""}, {"broken.mp3", ""},      {"good.mp3", "SetVolume"},
        {"good.mp3", "Run"}, {"good.mp3", "SetRate"}, {"good.mp3", "SetCurrentPosition"}};
    for (const auto& [name, failing] : cases) {
        control_->failing.clear();
        Open("good.mp3");
        ASSERT_NE(Engine(), nullptr);
        control_->failing.insert(failing);
        Open(name);
        EXPECT_TRUE(Engine() == nullptr && Cues().isEmpty()) << name << " " << failing;
    }
    EXPECT_EQ(ReadBytes(PathOf("damaged.cue")), damaged);
    EXPECT_TRUE(messages_.texts().isEmpty());
    Play(1);  // ticks go on harmlessly
    EXPECT_EQ(window_->txtTUsed1->text(), "00:00:00");
}

TEST_F(Playback, SlidersAndResetsSendTheirValues) {
    OpenWithCues("a.mp3", 600, kFourCues);
    const qsizetype before = Engine()->calls().size();
    window_->S1->triggerAction(QAbstractSlider::SliderToMaximum);  // the bottom end: slowest
    window_->V1->triggerAction(QAbstractSlider::SliderToMaximum);
    window_->B1->triggerAction(QAbstractSlider::SliderToMinimum);
    window_->cmdBReset1->click();
    window_->cmdReset1->click();
    EXPECT_EQ(Engine()->calls().mid(before),
              QStringList({"SetRate(0.1)", "SetVolume(-5000)", "SetBalance(-5000)", "SetBalance(0)",
                           "SetRate(1)"}));
}

// The buttons, the jumps, the tick, the drag and repeat mode, step by step.
TEST_F(Playback, StepByStep) {
    window_->cmdPause1->click();  // without a file nothing happens
    EXPECT_FALSE(window_->isPaused);
    OpenWithCues("a.mp3", 600, kFourCues);  // cues at 0, 10, 20 and 30 s
    const auto click = [&](QPushButton* frmTembrel::*button) {
        return [this, button] { (window_.get()->*button)->click(); };
    };
    const auto modalTick = [&] {
        QDialog box(window_.get());
        box.setModal(true);
        box.show();
        Play(0.02);
    };
    const std::pair<std::function<void()>, const char*> steps[] = {
        {[&] { Play(30); }, "30 30 0 0 Start Point"},
        {click(&frmTembrel::cmdPause1), "30 30 0 0 held paused Start Point"},
        {click(&frmTembrel::cmdStop1), "0 0 0 0 held paused Start Point"},
        {click(&frmTembrel::cmdPause1), "0 0 0 0 Start Point"},
        {[&] { Play(5); }, "5 5 0 0 Start Point"},
        {click(&frmTembrel::cmdPause1), "5 5 0 0 held paused Start Point"},
        // Play starts from the beginning; the pause button is not told.
        {click(&frmTembrel::cmdPlay1), "0 5 0 0 paused Start Point"},
        {click(&frmTembrel::cmdPause1), "0 5 0 0 Start Point"},
        // Jumps stay within the file and move the selection by one cue at most.
        {click(&frmTembrel::Command5), "0 0 0 0 Start Point"},
        {click(&frmTembrel::Command8), "20 20 1 1 Vers"},
        {click(&frmTembrel::Command5), "10 10 1 1 Vers"},  // onto the cue's start
        {click(&frmTembrel::Command1), "8 8 0 0 Start Point"},
        {click(&frmTembrel::Command7), "10 10 0 0 Start Point"},  // onto the next cue's start
        {[&] { Play(0); }, "10 10 1 1 Vers"},                     // which the tick follows
        {click(&frmTembrel::Command6), "20 20 1 1 Vers"},
        {click(&frmTembrel::Command7), "22 22 2 2 Refrain"},
        {click(&frmTembrel::Command9), "2 2 1 1 Vers"},
        {click(&frmTembrel::Command9), "0 0 0 0 Start Point"},
        {[&] { Engine()->SetCurrentPosition(590), Play(0); }, "590 590 0 0 Start Point"},
        {click(&frmTembrel::Command8), "600 600 1 1 Vers"},
        // A drag selects the last cue starting strictly before; the tick then
        // follows the next one.
        {click(&frmTembrel::cmdPlay1), "0 600 0 0 Vers"},  // the title stays
        {[&] { DragTo(20); }, "20 20 1 1 Vers"},
        {[&] { Play(0); }, "20 20 2 2 Refrain"},
        {[&] { DragTo(0); }, "0 0 2 2 Refrain"},
        // The tick follows one boundary after each Play or choice, none it was
        // moved past, and none while a window is modal.
        {click(&frmTembrel::cmdPlay1), "0 0 0 0 Refrain"},
        {[&] { Play(9.99); }, "9.99 10 0 0 Refrain"},
        {modalTick, "10.01 10 0 0 Refrain"},
        {[&] { Play(0); }, "10.01 10 1 1 Vers"},
        {[&] { Play(10); }, "20.01 20 1 1 Vers"},
        {[&] { Choose(0); }, "0 0 0 0 Start Point"},
        {[&] { Engine()->SetCurrentPosition(11), Play(0); }, "11 11 0 0 Start Point"},
        {[&] { Choose(0), Play(9.5), Play(1.5); }, "11 11 1 1 Vers"},  // a late tick
        {[&] { Choose(2), Play(10.2); }, "30.2 30 3 3 "},
        // A choice plays its line from its start whatever the state. Next does
        // nothing on the last line, Previous plays the first one again.
        {[&] { click (&frmTembrel::cmdPause1)(), Choose(2); }, "20 20 2 2 paused Refrain"},
        {[&] { click (&frmTembrel::cmdPause1)(), click (&frmTembrel::cmdStop1)(), Choose(1); },
         "10 10 1 1 Vers"},
        {[&] { Choose(3), Play(1), click (&frmTembrel::cmdNext1)(); }, "31 31 3 3 "},
        {[&] { window_->lstCue->SetListIndex(0), click (&frmTembrel::cmdPrev1)(); },
         "0 0 0 0 Start Point"},
        {[&] {
             Play(5), window_->lstCue->SetListIndex(-1), click (&frmTembrel::cmdPrev1)();
             window_->lstCue->SetListIndex(-1), click (&frmTembrel::cmdNext1)();
             click (&frmTembrel::cmdNext1)();
         },
         "10 10 1 1 Vers"},
        // Repeat loops the current section whatever the tick followed, and
        // plays the last one to the end.
        {[&] { Choose(0), Play(10.3); }, "10.3 10 1 1 Vers"},
        {[&] { window_->mnuRepeat->trigger(), Play(10); }, "10.3 10 1 1 Vers"},
        {[&] { DragTo(30), Play(0); }, "20 30 2 2 Refrain"},
        {[&] { Choose(3), Engine()->SetCurrentPosition(590), Play(20); }, "600 600 3 3 "},
    };
    for (const auto& [step, after] : steps) {
        step();
        ASSERT_EQ(State(), after);
    }
    EXPECT_EQ(QStringList({window_->txtTUsed1->text(), window_->txtTLeft1->text(),
                           window_->txtCue->text()}),
              QStringList({"00:10:00", "00:00:00", "00:10:00"}));
    window_->Command1->click();
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));
}

// The repeat switch turns its indicator through three frames and the still.
TEST_F(Playback, TheRepeatSwitchTurnsTheIndicator) {
    // The check mark, the indicator's timer, its two pictures and what it shows.
    const auto state = [&] {
        const auto visible = [&](QWidget* w) { return w->isVisibleTo(window_.get()); };
        return std::tuple(window_->mnuRepeat->isChecked(), window_->tmrRepeat->isActive(),
                          visible(window_->picRepeat), visible(window_->lblRepeat),
                          window_->picRepeat->pixmap().toImage());
    };
    const auto frame = [](int n) { return RepeatStrip().toImage().copy(n * 20, 0, 20, 20); };
    const auto on = [&](int n) { return std::tuple(true, true, true, true, frame(n)); };
    window_->mnuRepeat->trigger();
    EXPECT_EQ(state(), on(0));
    for (int n : {1, 2, 3, 0, 1}) {  // the fourth step shows the still picture
        window_->tmrRepeat->timeout({});
        EXPECT_EQ(state(), on(n)) << n;
    }
    window_->mnuRepeat->trigger();
    EXPECT_EQ(state(), std::tuple(false, false, false, false, frame(1)));
    window_->mnuRepeat->trigger();  // the sequence goes on where it stopped
    window_->tmrRepeat->timeout({});
    EXPECT_EQ(state(), on(2));
}

// Recordings of every format are listed and keep their cue files beside them.
using RecordingNames = ProgramTest;

TEST_F(RecordingNames, EveryFormatIsListedAndKeepsItsCuesBesideIt) {
    QStringList audio = {"a.MP3",  "b.wav", "Take 3.flac", "d.Ogg", "e.oga",
                         "f.opus", "g.M4A", "h.mp4",       "i.aac"};
    for (const QString& name : audio + QStringList{"notes.txt", "j.flac.bak", "kflac"}) {
        AddRecording(name, 40);
    }
    QStringList listed = Lines(window_->lstPath);
    listed.removeAll(QStringLiteral("[..]"));
    listed.sort(Qt::CaseInsensitive);
    audio.sort(Qt::CaseInsensitive);
    EXPECT_EQ(listed, audio);
    // Its cue file is found beside it under its name without the extension.
    for (const QString& name : QStringList{"Take 3.flac", "f.opus", "a.MP3"}) {
        OpenWithCues(name, 40, kFourCues);
        EXPECT_EQ(Cues().size(), 4) << name.toStdString();
    }
    const std::pair<const char*, const char*> lyrics[] = {{"/m/Take 3.flac", "Take 3"},
                                                          {"/m/Song.mp3", "Song"},
                                                          {"/m.d/x.opus", "x"},
                                                          {"/m.d/y", "y"}};
    for (const auto& [recording, base] : lyrics) {
        EXPECT_EQ(LyricsBaseName(recording), base);
    }
}
