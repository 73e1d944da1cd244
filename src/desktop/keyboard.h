#pragma once

class frmTembrel;

// Lets keys (and foot pedals, which send keys) drive the player in both of
// its windows, for as long as the main window lives. A key stays with the
// focused control when that control needs it: all typing in a text box, the
// arrows in a list or on a slider. The media keys act everywhere.
void InstallKeyboard(frmTembrel& window);
