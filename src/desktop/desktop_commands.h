#pragma once

class QString;
class QWidget;
class frmTembrel;

// What the desktop asks of the player (keys, media controls, later starts),
// done through the main window's own handlers, as its buttons do.

// True while a message box or a menu is open: the window's buttons cannot be
// pressed then, and nothing from the desktop acts either.
bool WindowBusy();
// Brings a window to the front, out of its minimized state.
void RaiseWindow(QWidget* window);
// Opens a file as a start naming it on the command line would: the browser
// begins in workingFolder (where it is when empty), shows the file's folder
// and double-clicks its entry. Waits while the window is busy. An empty path
// opens nothing.
void OpenFromDesktop(frmTembrel& window, const QString& workingFolder, const QString& path);

// Starts playback unless it runs: paused playback goes on where it was,
// stopped playback starts from the beginning (the Play button).
void PlayOrResume(frmTembrel& window);
// Pauses playback when it runs.
void PauseIfPlaying(frmTembrel& window);
// Pauses running playback, or starts it as PlayOrResume does.
void TogglePlayPause(frmTembrel& window);
// Sets the speed slider to a percentage, brought within its range.
void SetSpeed(frmTembrel& window, int percent);
// Switches repeat mode on or off through its menu item.
void SetRepeat(frmTembrel& window, bool on);
// Moves playback to a second as a drag of the position slider does.
void MoveTo(frmTembrel& window, double seconds);
