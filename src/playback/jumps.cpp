// The six jump buttons: 2, 10 or 20 seconds back or forward.
#include "cues/cue_rules.h"
#include "playback/time_text.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QPushButton>

void frmTembrel::Jump(int seconds) {
    // The engine keeps a target beyond either end within the file.
    Seek(static_cast<double>(H1->Value()) + seconds);
    const double p = Media().CurrentPosition().value_or(0);
    H1->SetValue(static_cast<int>(RoundToEven(p)));

    // The selection follows by at most one cue per press.
    if (const std::optional<int> cue =
            CueAfterJump(lstCue->AllItemData(), currentCue, seconds, p)) {
        SelectCue(*cue);
        currentCue = *cue;
    }
    dummy->setFocus();
}

void frmTembrel::Command9_Click() {
    Jump(-20);
}
void frmTembrel::Command5_Click() {
    Jump(-10);
}
void frmTembrel::Command1_Click() {
    Jump(-2);
}
void frmTembrel::Command7_Click() {
    Jump(2);
}
void frmTembrel::Command6_Click() {
    Jump(10);
}
void frmTembrel::Command8_Click() {
    Jump(20);
}
