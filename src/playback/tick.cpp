// The playback tick: keeps the position slider and the time displays in step
// and follows the cue points; and the position slider's drag.
#include "cues/cue_file.h"
#include "cues/cue_line.h"
#include "playback/time_text.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include "ui/title_box.h"

#include <cmath>

namespace {

// Shows a text unless the box shows it already (the tick runs every 10 ms).
template <typename Box>
void ShowText(Box* box, const QString& text) {
    if (box->text() != text) {
        box->setText(text);
    }
}

}  // namespace

void frmTembrel::Timer1_Timer() {
    // While a message box shows (opened by this tick, a double-click or a
    // button), its own event loop runs the timer; the tick waits, so nothing
    // moves underneath the handler that is still running.
    if (currentFile.isEmpty() || inTick_ || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    inTick_ = true;
    const double p = Media().CurrentPosition().value_or(0);
    H1->SetValue(static_cast<int>(RoundToEven(p)));

    const int next = currentCue + 1;
    if (next >= 0 && next < lstCue->ListCount() && std::floor(p) == lstCue->ItemData(next)) {
        if (mnuRepeat->isChecked()) {
            if (currentCue >= 0 && currentCue < lstCue->ListCount()) {
                Media().SetCurrentPosition(lstCue->ItemData(currentCue));
            }
        } else if (cueAdvanced == 0) {
            // The boundary counts as followed before any lyrics are loaded, so
            // that no later tick follows it again.
            currentCue = next;
            cueAdvanced = 1;
            SelectCue(next);
            FollowLyrics(CueTitleOf(lstCue->List(next)));
        }
    }

    const double position = Media().CurrentPosition().value_or(0);
    positionText = QString::number(position, 'g', 15);
    ShowText(txtTLeft1, TimeText(Media().Duration().value_or(0) - position));
    ShowText(txtTUsed1, TimeText(position));
    ShowText(txtCue, txtTUsed1->text());
    inTick_ = false;
}

void frmTembrel::H1_Scroll() {
    Media().SetCurrentPosition(H1->Value());
    const double p = std::floor(Media().CurrentPosition().value_or(0));
    // The last cue in list order starting strictly before the position is
    // the one played; it is selected once, however many cues lie before it.
    int last = -1;
    for (int i = 0; i < lstCue->ListCount(); ++i) {
        if (lstCue->ItemData(i) < p) {
            last = i;
        }
    }
    if (last >= 0) {
        SelectCue(last);
        currentCue = last;
    }
}
