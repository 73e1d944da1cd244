// Closing the main window: playback ends, the seven settings are written in
// one go, and the program ends.
#include "app/settings_store.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/scroll_bar.h"
#include "ui/window_geometry.h"

#include <QApplication>
#include <QDebug>

QList<QPair<QString, QString>> frmTembrel::StoredSettings() {
    frmLyrics* lyrics = Lyrics();
    return {
        {QStringLiteral("Pfad"), currentFolder},
        {QStringLiteral("Volume"), QString::number(V1->Value())},
        {QStringLiteral("Y"), QString::number(TopTwips(this))},
        {QStringLiteral("X"), QString::number(LeftTwips(this))},
        {QStringLiteral("Top"), QString::number(TopTwips(lyrics))},
        {QStringLiteral("Width"), QString::number(WidthTwips(lyrics))},
        {QStringLiteral("Height"), QString::number(HeightTwips(lyrics))},
    };
}

void frmTembrel::SaveForSessionEnd() {
    SavePendingLyrics();
    WriteStoredSettings();
}

void frmTembrel::WriteStoredSettings() {
    // A failed write leaves the old file whole; the program goes on.
    QString reason;
    if (!WriteSettings(program_.AppTitle, StoredSettings(), program_.IniFile, &reason)) {
        qWarning().noquote() << "settings not fully written:" << reason;
    }
}

void frmTembrel::Form_Unload() {
    // The close box, a quit signal and the end of the program each run it;
    // once is enough.
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    // Typing in the lyrics window that was never saved is kept.
    SavePendingLyrics();
    CleanUp();
    WriteStoredSettings();
    // The lyrics window goes with the main window without saving its text.
    Lyrics()->hide();
    QApplication::quit();
}
