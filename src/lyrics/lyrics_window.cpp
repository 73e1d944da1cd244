// The lyrics window's own steps.
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/window_geometry.h"

void frmLyrics::Form_Load() {
    SetLeftTwips(this, LeftTwips(main_) + WidthTwips(main_));
}

void frmLyrics::mnuClose_Click() {
    hide();
}
