#include "ui/frm_tembrel.h"
#include "ui/list_box.h"

void frmTembrel::CleanUp() {
    // Destroying the engine ends its playback; no stop is sent first.
    media.reset();
    lstCue->Clear();
}
