// The repeat switch and its turning indicator. The looping itself is done by
// the playback tick, which reads the switch's check mark.
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/picture_box.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

namespace {

constexpr int kFrameSide = 20;

// Shows frame `frame` of the source strip in the destination box: the box is
// cleared to its still picture, then the frame is copied over it. The strip's
// offset is reckoned in 16 bits; a frame beyond the strip copies nothing, so
// the still picture shows.
void DrawFrame(PictureBox* destination, const PictureBox* source, int frame, int height,
               int width) {
    destination->Cls();
    const auto x = static_cast<qint16>(width * frame);
    destination->CopyFrom(*source, QRect(x, 0, width, height));
}

}  // namespace

void frmTembrel::mnuRepeat_Click() {
    // The menu item has already turned its own check mark.
    const bool on = mnuRepeat->isChecked();
    lblRepeat->setVisible(on);
    if (on) {
        tmrRepeat->start();
    } else {
        tmrRepeat->stop();
    }
    picRepeat->setVisible(on);
    UpdateLoop();
}

void frmTembrel::UpdateLoop() {
    // The current section, unless it is the last one (which plays to the
    // end) or its next cue does not start later.
    std::optional<std::pair<int, int>> wanted;
    const int next = currentCue + 1;
    if (mnuRepeat->isChecked() && currentCue >= 0 && next < lstCue->ListCount() &&
        lstCue->ItemData(next) > lstCue->ItemData(currentCue)) {
        wanted = std::pair(lstCue->ItemData(currentCue), lstCue->ItemData(next));
    }
    if (wanted == engineLoop_) {
        return;
    }
    const bool applied =
        wanted ? Media().SetLoop(wanted->first, wanted->second) : Media().ClearLoop();
    if (applied) {
        engineLoop_ = wanted;
    }
}

void frmTembrel::RepeatTick() {
    ++repeatFrame;
    DrawFrame(picRepeat, picAni, repeatFrame, kFrameSide, kFrameSide);
    if (repeatFrame == 4) {
        repeatFrame = 0;
    }
}
