// Play, Pause and Stop, and the volume, balance and speed sliders.
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QPushButton>
#include <QTimer>

void frmTembrel::cmdPlay1_Click() {
    Play();
}

bool frmTembrel::Play() {
    if (currentFile.isEmpty()) {
        return false;
    }
    // Each step runs even when one before it failed.
    bool played = Media().SetRate(S1->Value() / 100.0);
    played = RunMedia() && played;
    played = Seek(0) && played;
    lstCue->SetListIndex(0);
    currentCue = 0;
    cueAdvanced = 0;
    dummy->setFocus();
    return played;
}

void frmTembrel::cmdPause1_Click() {
    if (currentFile.isEmpty()) {
        return;
    }
    // The state flips even when the engine refuses.
    if (!isPaused) {
        HoldMedia(false);
        isPaused = true;
    } else {
        RunMedia();
        isPaused = false;
    }
    dummy->setFocus();
}

void frmTembrel::cmdStop1_Click() {
    if (currentFile.isEmpty()) {
        return;
    }
    HoldMedia(true);
    Seek(0);
    H1->SetValue(0);
    dummy->setFocus();
}

bool frmTembrel::RunMedia() {
    running_ = Media().Run();
    SetPlayState(PlayState::kPlaying);
    WakeTick();
    return running_;
}

bool frmTembrel::HoldMedia(bool stop) {
    running_ = false;
    SetPlayState(stop ? PlayState::kStopped : PlayState::kPaused);
    WakeTick();
    return stop ? Media().Stop() : Media().Pause();
}

void frmTembrel::WakeTick() {
    Timer1->start(10);
}

void frmTembrel::V1_Change() {
    Media().SetVolume(V1->Value());
}

void frmTembrel::B1_Change() {
    Media().SetBalance(B1->Value());
}

void frmTembrel::S1_Change() {
    Media().SetRate(S1->Value() / 100.0);
    WakeTick();
    // A speed other than normal shows after the program's name, so that no
    // control of the fixed layout moves.
    const int percent = S1->Value();
    setWindowTitle(percent == 100 ? QStringLiteral("Vorlane Tembrel")
                                  : QStringLiteral("Vorlane Tembrel \u2013 %1 %").arg(percent));
}

void frmTembrel::cmdBReset1_Click() {
    B1->SetValue(0);
    dummy->setFocus();
}

void frmTembrel::cmdReset1_Click() {
    S1->SetValue(100);
    dummy->setFocus();
}
