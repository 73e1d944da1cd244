// Lyrics per cue title: loading them into the lyrics window, saving them, and
// keeping typed text from being lost when other lyrics take its place.
#include "app/path_helpers.h"
#include "app/safe_save.h"
#include "app/show_message.h"
#include "app/text_codec.h"
#include "lyrics/lyrics_naming.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const QString kStartPointTitle = QStringLiteral("Start Point");

}  // namespace

QString frmTembrel::LyricsTitleFor() {
    // The start point, and lines without a title, keep their lyrics under the
    // recording's own name.
    const QString baseName = LyricsBaseName(currentFile);
    const QString title = txtCueTitle->text();
    if (title == kStartPointTitle || lstCue->Text().size() <= 11) {
        return baseName;
    }
    return title;
}

void frmTembrel::LoadLyrics(bool openEmpty) {
    // Typing not yet saved goes to the file it was typed for, before the
    // text and the file change.
    SavePendingLyrics();
    // Lyrics lie beside the open recording, whatever folder the browser
    // shows; before any recording there is no place for them.
    QString folder = FolderPartOf(currentFile);
    lyricsFile = currentFile.isEmpty()
                     ? QString()
                     : LyricsFileFor(AddBackslash(folder), lyricsTitle).value_or(QString());
    frmLyrics* window = Lyrics();
    if (!lyricsFile.isEmpty() && FileExists(lyricsFile)) {
        ShowLyricsText(LyricsTextFromFile(ReadWholeFile(lyricsFile)));
    } else if (!openEmpty) {
        HideLyrics();
        return;
    } else {
        ShowLyricsText(QString());
    }
    window->setWindowTitle(lyricsTitle);
    window->show();
}

void frmTembrel::SaveLyrics() {
    frmLyrics* window = Lyrics();
    const QByteArray bytes = EncodeText(LyricsFileText(window->txtLyrics->toPlainText()));
    if (lyricsFile.isEmpty() || !WriteFileAtomically(lyricsFile, bytes)) {
        ShowFileError(QStringLiteral("Fehler beim Schreiben der Datei. "));
        return;
    }
    lyricsUnsaved = false;
}

void frmTembrel::SavePendingLyrics() {
    if (lyricsUnsaved && ExistingLyrics()) {
        SaveLyrics();
    }
}

void frmTembrel::HideLyrics() {
    SavePendingLyrics();
    if (frmLyrics* window = ExistingLyrics()) {
        window->hide();
        ShowLyricsText(QString());
    }
}

void frmTembrel::ShowLyricsText(const QString& text) {
    settingLyrics_ = true;
    Lyrics()->txtLyrics->setPlainText(text);
    settingLyrics_ = false;
}

void frmTembrel::txtLyrics_Change() {
    lyricsChanged = true;
    if (!settingLyrics_) {
        lyricsUnsaved = true;
    }
}

void frmTembrel::Command4_Click() {
    if (lstCue->Text().isEmpty()) {
        return;
    }
    lyricsTitle = LyricsTitleFor();
    LoadLyrics(true);
    lyricsChanged = false;
}

void frmTembrel::FollowLyrics(const QString& title) {
    lyricsTitle = title;
    if (title.isEmpty()) {
        HideLyrics();
    } else {
        LoadLyrics(false);
    }
}
