// The cue list and its cue file beside the recording.
#include "app/path_helpers.h"
#include "app/safe_save.h"
#include "app/show_message.h"
#include "app/text_codec.h"
#include "cues/cue_file.h"
#include "cues/cue_line.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"

#include <QDebug>
#include <QFileInfo>
#include <QLineEdit>
#include "ui/title_box.h"

bool frmTembrel::LoadCueFile(QString* error) {
    if (!QFileInfo::exists(cueFile)) {
        lstCue->AddItem(StartPointLine());
        lstCue->SetItemData(lstCue->NewIndex(), 0);
        return true;
    }
    // A cue file that exists but cannot be read fails the open, so that the
    // next edit cannot replace it with a list that did not come from it.
    const std::optional<QByteArray> bytes = ReadFileBytes(cueFile);
    if (!bytes) {
        *error = QStringLiteral("cannot read ") + cueFile;
        return false;
    }
    const std::optional<QList<CueRecord>> cues = ParseCueFile(DecodeText(*bytes), error);
    if (!cues) {
        return false;
    }
    for (const CueRecord& cue : *cues) {
        lstCue->AddItem(cue.text);
        lstCue->SetItemData(lstCue->NewIndex(), cue.seconds);
    }
    return true;
}

void frmTembrel::SaveCueFile() {
    QString reason = QStringLiteral("the cue list did not come from the cue file");
    if (cueListLoaded && !cueFile.isEmpty()) {
        QList<CueRecord> cues;
        for (int i = 0; i < lstCue->ListCount(); ++i) {
            cues.append({lstCue->ItemData(i), lstCue->List(i)});
        }
        if (WriteFileAtomically(cueFile, EncodeText(FormatCueFile(cues)), &reason)) {
            return;
        }
    }
    qWarning().noquote() << "cue file not written:" << reason;
    ShowFileError(QStringLiteral("Fehler beim Schreiben der Cue-Datei. "));
}

void frmTembrel::SelectCue(int index) {
    lstCue->SetListIndex(index);
    txtCueTitle->SetTitle(CueTitleOf(lstCue->List(index)));
}
