// The lyrics window's own steps.
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/twips.h"
#include "ui/window_geometry.h"

#include <QCloseEvent>
#include <QPlainTextEdit>

void frmLyrics::Form_Load() {
    SetLeftTwips(this, LeftTwips(main_) + WidthTwips(main_));
}

void frmLyrics::Form_Resize() {
    // The text box leaves room for the frame, the title and the menu bar of
    // the outer window, and never reaches beyond the client area.
    const int width = TwipsToPixels(WidthTwips(this) - 140);
    const int height = TwipsToPixels(HeightTwips(this) - 740);
    if (isMinimized() || width < 0 || height < 0) {
        return;
    }
    const QSize room = centralWidget()->size();
    txtLyrics->setGeometry(0, 0, std::min(width, room.width()), std::min(height, room.height()));
}

void frmLyrics::mnuClose_Click() {
    main_->CloseLyrics();
}

void frmLyrics::mnuSave_Click() {
    main_->SaveLyrics();
}

void frmLyrics::closeEvent(QCloseEvent* event) {
    // Closed by its close box, the window goes with its text, unless typing
    // could not be saved and the user has not yet been told.
    if (!main_->LyricsCloseBox()) {
        event->ignore();
        return;
    }
    event->accept();
    deleteLater();
}
