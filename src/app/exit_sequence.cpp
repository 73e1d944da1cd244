// Closing the main window: playback ends, the seven settings are written in
// one go, and the program ends.
#include "app/settings_store.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/scroll_bar.h"
#include "ui/window_geometry.h"

#include <QApplication>

void frmTembrel::Form_Unload() {
    // Typing in the lyrics window that was never saved is kept.
    SavePendingLyrics();
    CleanUp();
    frmLyrics* lyrics = Lyrics();
    const QList<QPair<QString, QString>> settings = {
        {QStringLiteral("Pfad"), currentFolder},
        {QStringLiteral("Volume"), QString::number(V1->Value())},
        {QStringLiteral("Y"), QString::number(TopTwips(this))},
        {QStringLiteral("X"), QString::number(LeftTwips(this))},
        {QStringLiteral("Top"), QString::number(TopTwips(lyrics))},
        {QStringLiteral("Width"), QString::number(WidthTwips(lyrics))},
        {QStringLiteral("Height"), QString::number(HeightTwips(lyrics))},
    };
    // A failed write leaves the old file whole; the program still ends normally.
    WriteSettings(program_.AppTitle, settings, program_.IniFile);
    // The lyrics window goes with the main window without saving its text.
    lyrics->hide();
    QApplication::quit();
}
