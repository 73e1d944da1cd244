// Setting, nudging, retitling and removing cue points. Every edit rewrites
// the cue file at once.
#include "app/path_helpers.h"
#include "app/show_message.h"
#include "app/text_codec.h"
#include "cues/cue_file.h"
#include "cues/cue_line.h"
#include "cues/cue_marks.h"
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

// Seconds rounded half to even; 0 beyond the range of a cue point.
qint32 SecondsOf(double seconds) {
    const long long rounded = RoundToEven(seconds);
    if (rounded < std::numeric_limits<qint32>::min() ||
        rounded > std::numeric_limits<qint32>::max()) {
        return 0;
    }
    return static_cast<qint32>(rounded);
}

// The seconds of a position text; 0 when it is no number.
qint32 SecondsOf(const QString& positionText) {
    bool ok = false;
    const double seconds = positionText.toDouble(&ok);
    return ok ? SecondsOf(seconds) : 0;
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

void frmTembrel::lstCue_DropFile(const QString& path) {
    const std::optional<QByteArray> bytes = ReadFileBytes(path);
    if (!bytes) {
        ShowFileError(QStringLiteral("Fehler beim Öffnen der Datei. "));
        return;
    }
    const Marks labels = ParseLabelFile(DecodeText(*bytes));
    if (labels.isEmpty()) {
        return;
    }
    // Each label as the cue button would set it at the label's start.
    for (const auto& [seconds, title] : labels) {
        AddCueLine(CueLine(TimeText(seconds), CleanCueTitle(title)), SecondsOf(seconds));
    }
    lstCue->SetSelected(lstCue->NewIndex(), true);
    SaveCueFile();
}
