// The cue list and its cue file beside the recording.
#include "app/path_helpers.h"
#include "app/safe_save.h"
#include "app/show_message.h"
#include "app/text_codec.h"
#include "cues/cue_file.h"
#include "cues/cue_line.h"
#include "cues/cue_sheet.h"
#include "ui/folder_list.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"

#include <QDebug>
#include <QFileInfo>
#include <QLineEdit>
#include "ui/title_box.h"

void frmTembrel::AddCueLine(const QString& text, qint32 seconds) {
    lstCue->AddItem(text);
    lstCue->SetItemData(lstCue->NewIndex(), seconds);
}

void frmTembrel::AddCueLines(const QList<CueRecord>& cues) {
    QList<std::pair<QString, qint32>> lines;
    lines.reserve(cues.size());
    for (const CueRecord& cue : cues) {
        lines.append({cue.text, cue.seconds});
    }
    lstCue->AddItems(lines);
}

bool frmTembrel::LoadCueFile(QString* error, std::shared_future<QList<CueRecord>>* ownCues) {
    cueSheet_.reset();
    cueFileKept_ = false;
    if (!QFileInfo::exists(cueFile)) {
        // The recording's own marks follow the start point; like the start
        // point they reach the disk with the first edit. Reading hundreds of
        // chapters takes as long as the engine's open, so they are read ahead
        // or beside it.
        *ownCues = ownCues_.For(currentFile);
        AddCueLine(StartPointLine(), 0);
        return true;
    }
    // A cue file that exists but cannot be read fails the open, so that the
    // next edit cannot replace it with a list that did not come from it.
    const std::optional<QByteArray> bytes = ReadFileBytes(cueFile);
    if (!bytes) {
        *error = QStringLiteral("cannot read ") + cueFile;
        return false;
    }
    const QString text = DecodeText(*bytes);
    if (LooksLikeCueSheet(text)) {
        // A sheet the list cannot stand for still lets the recording play.
        QString reason = QStringLiteral("a CUE sheet for several files");
        std::optional<CueSheet> sheet = ParseCueSheet(*bytes, &reason);
        if (!sheet || sheet->files > 1) {
            qWarning().noquote() << "cue file left as it is:" << reason;
            cueFileKept_ = true;
            AddCueLine(StartPointLine(), 0);
            return true;
        }
        cueSheet_ = std::make_shared<CueSheet>(std::move(*sheet));
        AddCueLines(ListedCues(*cueSheet_));
        return true;
    }
    const std::optional<QList<CueRecord>> cues = ParseCueFile(text, error);
    if (!cues) {
        return false;
    }
    AddCueLines(*cues);
    return true;
}

void frmTembrel::AddOwnCues(const std::shared_future<QList<CueRecord>>& ownCues) {
    if (ownCues.valid()) {
        AddCueLines(ownCues.get().mid(1));  // after the start point listed already
    }
}

void frmTembrel::ReadCuesAhead() {
    const QString entry = lstPath->Text();
    QString folder = dirDirs->Path();
    const QString path = AddBackslash(folder) + entry;
    const bool bare = !entry.isEmpty() && !entry.startsWith(QLatin1Char('[')) &&
                      !QFileInfo::exists(WithoutExtension(path) + QStringLiteral(".cue"));
    ownCues_.ReadAhead(bare ? path : QString());
}

void frmTembrel::SaveCueFile() {
    QString reason = QStringLiteral("the cue list did not come from the cue file");
    if (cueFileKept_) {
        reason = QStringLiteral("the cue file is a CUE sheet the list cannot stand for");
    } else if (cueListLoaded && !cueFile.isEmpty()) {
        QList<CueRecord> cues;
        for (int i = 0; i < lstCue->ListCount(); ++i) {
            cues.append({lstCue->ItemData(i), lstCue->List(i)});
        }
        if (!cueSheet_) {
            if (WriteFileAtomically(cueFile, EncodeText(FormatCueFile(cues)), &reason)) {
                return;
            }
        } else {
            // A sheet stays a sheet: only the edited track's lines change.
            CueSheet sheet = UpdateCueSheet(*cueSheet_, cues);
            if (WriteFileAtomically(cueFile, FormatCueSheet(sheet), &reason)) {
                *cueSheet_ = std::move(sheet);
                return;
            }
        }
    }
    qWarning().noquote() << "cue file not written:" << reason;
    ShowFileError(QStringLiteral("Fehler beim Schreiben der Cue-Datei. "));
}

void frmTembrel::SelectCue(int index) {
    lstCue->SetListIndex(index);
    txtCueTitle->SetTitle(CueTitleOf(lstCue->List(index)));
}
