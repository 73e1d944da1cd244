// Playing from a chosen cue point: double-click, Next and Previous.
#include "cues/cue_file.h"
#include "cues/cue_line.h"
#include "cues/cue_rules.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QLineEdit>
#include <QPushButton>
#include "ui/title_box.h"

void frmTembrel::lstCue_DblClick() {
    const int index = lstCue->ListIndex();
    txtCueTitle->SetTitle(CueTitleOf(lstCue->Text()));
    if (LoadLyrics(LyricsTitleFor(), false)) {
        lyricsChanged = false;
    }
    if (index >= 0) {
        Seek(lstCue->ItemData(index));
        H1->SetValue(lstCue->ItemData(index));
    }
    currentCue = index;
    cueAdvanced = 0;
    RunMedia();
}

void frmTembrel::cmdNext1_Click() {
    dummy->setFocus();
    const std::optional<int> next = NextLine(lstCue->ListIndex(), lstCue->ListCount());
    if (!next) {
        return;
    }
    lstCue->SetListIndex(*next);
    lstCue_DblClick();
}

void frmTembrel::cmdPrev1_Click() {
    lstCue->SetListIndex(PreviousLine(lstCue->ListIndex()));
    lstCue_DblClick();
    dummy->setFocus();
}
