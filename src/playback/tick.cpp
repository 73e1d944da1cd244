// The playback tick: keeps the position slider and the time displays in step.
#include "ui/frm_tembrel.h"

void frmTembrel::Timer1_Timer() {
    if (currentFile.isEmpty()) {
        return;
    }
}
