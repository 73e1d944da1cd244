// The lyrics window's own steps.
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/twips.h"
#include "ui/window_geometry.h"

#include <QCloseEvent>
#include <QPlainTextEdit>

void frmLyrics::Form_Load() {
    const int mainLeft = LeftTwips(main_);
    SetLeftTwips(this, mainLeft + WidthTwips(main_));
    // Until the window manager has framed the main window, its width lacks
    // the frame: the dock moves to the outer edge once that is known, unless
    // this window is on the screen by then.
    if (!IsFramed(main_)) {
        WhenFramed(main_, this, [this, mainLeft] {
            if (!IsFramed(this)) {
                SetLeftTwips(this, mainLeft + WidthTwips(main_));
            }
        });
    }
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
