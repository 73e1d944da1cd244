// The lyrics window's own steps.
#include "ui/frm_lyrics.h"
#include "ui/twips.h"
#include "ui/window_geometry.h"

#include <QCloseEvent>
#include <QPlainTextEdit>

void frmLyrics::Form_Load() {
    const int mainLeft = LeftTwips(dockTo_);
    SetLeftTwips(this, mainLeft + WidthTwips(dockTo_));
    // Until the window manager has framed the main window, its width lacks
    // the frame: the dock moves to the outer edge once that is known, unless
    // this window is on the screen by then.
    if (!IsFramed(dockTo_)) {
        WhenFramed(dockTo_, this, [this, mainLeft] {
            if (!IsFramed(this)) {
                SetLeftTwips(this, mainLeft + WidthTwips(dockTo_));
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

void frmLyrics::closeEvent(QCloseEvent* event) {
    event->accept();
    emit CloseBoxClicked(event);
    if (event->isAccepted()) {
        deleteLater();
    }
}
