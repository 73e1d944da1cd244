// Lyrics per cue title: loading them into the lyrics window and saving them.
// Typed text belongs to the file it was typed for: it is saved there before
// anything replaces it, and when that save fails it stays in the window,
// under its own title, until it is saved or the user discards it.
#include "app/path_helpers.h"
#include "app/safe_save.h"
#include "app/show_message.h"
#include "app/text_codec.h"
#include "cues/cue_line.h"
#include "lyrics/lyrics_naming.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/text_box.h"
#include "ui/title_box.h"

#include <QDebug>
#include <QFileInfo>
#include <QPlainTextEdit>

QString frmTembrel::LyricsTitleFor() {
    // The start point, and lines without a title, keep their lyrics under the
    // recording's own name.
    const QString title = txtCueTitle->Title();
    if (title == QLatin1String(kStartPointTitle) || lstCue->Text().size() <= kCueTitleStart) {
        return LyricsBaseName(currentFile);
    }
    return title;
}

bool frmTembrel::LoadLyrics(const QString& title, bool openEmpty) {
    if (!SavePendingLyrics()) {
        return false;
    }
    // Lyrics lie beside the open recording, whatever folder the browser
    // shows; before any recording there is no place for them.
    lyricsTitle = title;
    QString folder = FolderPartOf(currentFile);
    lyricsFile = currentFile.isEmpty()
                     ? QString()
                     : LyricsFileFor(AddBackslash(folder), title).value_or(QString());
    frmLyrics* window = Lyrics();
    if (!lyricsFile.isEmpty() && QFileInfo(lyricsFile).isFile()) {
        std::optional<QByteArray> bytes;
        if (QFileInfo(lyricsFile).size() <= kMaxLyricsBytes) {
            bytes = ReadFileBytes(lyricsFile);
        }
        if (bytes) {
            ShowLyricsText(LyricsTextFromFile(DecodeText(*bytes)));
            lyricsBytes_ = StripTrailingLineBreaks(*bytes);
        } else {
            // A file that cannot be read is never replaced by this window's text.
            qWarning().noquote() << "cannot read lyrics" << lyricsFile << "(unreadable or over"
                                 << kMaxLyricsBytes << "bytes)";
            ShowFileError(QStringLiteral("Fehler beim Öffnen der Datei. "));
            lyricsFile.clear();
            ShowLyricsText(QString());
        }
    } else if (!openEmpty) {
        HideLyrics();
        return true;
    } else {
        ShowLyricsText(QString());
    }
    window->setWindowTitle(lyricsTitle);
    window->show();
    return true;
}

bool frmTembrel::SaveLyrics() {
    frmLyrics* window = Lyrics();
    // Text nobody typed in is written back exactly as it was read.
    const QByteArray bytes = lyricsBytes_ ? *lyricsBytes_ + "\r\n"
                                          : EncodeText(LyricsFileText(BoxText(window->txtLyrics)));
    QString reason = QStringLiteral("the title \"%1\" names no file").arg(lyricsTitle);
    if (lyricsFile.isEmpty() || !WriteFileAtomically(lyricsFile, bytes, &reason)) {
        qWarning().noquote() << "lyrics not written:" << reason;
        lyricsWarned_ = true;
        ShowFileError(QStringLiteral("Fehler beim Schreiben der Datei. "));
        return false;
    }
    lyricsBytes_ = bytes.chopped(2);
    lyricsUnsaved = false;
    return true;
}

bool frmTembrel::SavePendingLyrics() {
    frmLyrics* window = ExistingLyrics();
    if (!lyricsUnsaved || window == nullptr || SaveLyrics()) {
        return true;
    }
    // The typed text stays where the user sees it, under its own title.
    window->setWindowTitle(lyricsTitle);
    window->show();
    return false;
}

bool frmTembrel::HideLyrics() {
    if (!SavePendingLyrics()) {
        return false;
    }
    if (frmLyrics* window = ExistingLyrics()) {
        window->hide();
        ShowLyricsText(QString());
    }
    return true;
}

void frmTembrel::ShowLyricsText(const QString& text) {
    settingLyrics_ = true;
    SetBoxText(Lyrics()->txtLyrics, text);
    settingLyrics_ = false;
    lyricsBytes_.reset();
}

void frmTembrel::txtLyrics_Change() {
    lyricsChanged = true;
    if (!settingLyrics_) {
        lyricsUnsaved = true;
        lyricsWarned_ = false;
        lyricsBytes_.reset();
    }
}

void frmTembrel::CloseLyrics() {
    frmLyrics* window = Lyrics();
    window->hide();
    // Only text that belongs to a file is written: typed text, or text read
    // from the file (written back as it was).
    if (lyricsChanged && (lyricsUnsaved || lyricsBytes_)) {
        SaveLyrics();
    }
}

bool frmTembrel::LyricsCloseBox() {
    // Typing not yet saved is saved first. When that fails the user is told
    // and the window stays; once told, the close box discards the text.
    if (lyricsUnsaved && !lyricsWarned_ && !SaveLyrics()) {
        return false;
    }
    lyricsUnsaved = false;
    lyricsWarned_ = false;
    lyricsBytes_.reset();
    ForgetLyrics();
    return true;
}

void frmTembrel::Command4_Click() {
    if (lstCue->Text().isEmpty()) {
        return;
    }
    if (LoadLyrics(LyricsTitleFor(), true)) {
        lyricsChanged = false;
    }
}

void frmTembrel::FollowLyrics(const QString& title) {
    if (title.isEmpty()) {
        if (HideLyrics()) {
            lyricsTitle.clear();
        }
    } else {
        LoadLyrics(title, false);
    }
}
