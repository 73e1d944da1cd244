// Setting, nudging, retitling and removing cue points. Every edit rewrites
// the cue file at once.
#include "cues/cue_file.h"
#include "cues/cue_line.h"
#include "playback/time_text.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include "ui/title_box.h"

#include <limits>

namespace {

// The seconds of a position text, rounded half to even; 0 when it is no number.
qint32 SecondsOf(const QString& positionText) {
    bool ok = false;
    const double seconds = positionText.toDouble(&ok);
    const long long rounded = ok ? RoundToEven(seconds) : 0;
    if (rounded < std::numeric_limits<qint32>::min() ||
        rounded > std::numeric_limits<qint32>::max()) {
        return 0;
    }
    return static_cast<qint32>(rounded);
}

}  // namespace

void frmTembrel::ReplaceCueLine(int index, const QString& text, qint32 seconds) {
    lstCue->RemoveItem(index);
    lstCue->AddItem(text, index);
    lstCue->SetItemData(index, seconds);
    lstCue->SetListIndex(index);
}

void frmTembrel::cmdCue1_Click() {
    // The list shows the displayed (cut) time; the seconds are the rounded position.
    const QString time = txtCue->text();
    dummy->setFocus();
    lstCue->AddItem(CueLine(time, CleanCueTitle(txtCueTitle->Title())));
    lstCue->SetItemData(lstCue->NewIndex(), SecondsOf(positionText));
    lstCue->SetSelected(lstCue->NewIndex(), true);
    SaveCueFile();
}

void frmTembrel::NudgeCue(int step) {
    const int index = lstCue->ListIndex();
    if (index < 0) {
        return;
    }
    const QString title = CueTitleOf(lstCue->List(index));
    qint32 seconds = lstCue->ItemData(index);
    if (step < 0 && seconds > 0) {
        --seconds;
    } else if (step > 0 && seconds < H1->Max()) {
        ++seconds;
    }
    // The player moves to the cue point's new time.
    H1->SetValue(seconds);
    Seek(H1->Value());
    ReplaceCueLine(index, CueLine(TimeText(seconds), title), seconds);
    SaveCueFile();
}

void frmTembrel::Command2_Click() {
    NudgeCue(-1);
}

void frmTembrel::Command3_Click() {
    NudgeCue(1);
}

void frmTembrel::lstCue_MouseDown(Qt::MouseButton button, QPoint position) {
    // Lines at 00:00:00, the start point among them, can be neither removed
    // nor retitled from the menu.
    const QString line = lstCue->Text();
    if (button == Qt::RightButton && !line.isEmpty() && !IsAtStart(line)) {
        mnuPop->popup(lstCue->viewport()->mapToGlobal(position));
    }
}

void frmTembrel::mnuRemCue_Click() {
    const int index = lstCue->ListIndex();
    if (index < 0) {
        return;
    }
    lstCue->RemoveItem(index);
    lstCue->SetListIndex(index - 1);
    SaveCueFile();
}

void frmTembrel::mnuEdit_Click() {
    txtCueTitle->SetTitle(CueTitleOf(lstCue->Text()));
}

void frmTembrel::txtCueTitle_KeyPress() {
    // The time text is kept as shown, not made anew from the seconds.
    const int index = lstCue->ListIndex();
    if (index < 0) {
        return;
    }
    ReplaceCueLine(index,
                   CueLine(CueTimeTextOf(lstCue->List(index)), CleanCueTitle(txtCueTitle->Title())),
                   lstCue->ItemData(index));
    SaveCueFile();
}
