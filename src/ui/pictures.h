#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn at start-up rather than shipped as images.

// 24 x 24 transport pictures, drawn in black on a transparent ground.
QPixmap PlayPicture();
QPixmap PausePicture();
QPixmap PrevPicture();
QPixmap CuePicture();
QPixmap NextPicture();
// A plain black square without transparent parts.
QPixmap StopPicture();

// 32 x 32 window icons: a blue eighth note on a grey panel, and a lyrics sheet.
QIcon MainWindowIcon();
QIcon LyricsWindowIcon();
// The main window's icon picture with the given side in pixels (the desktop
// wants it in several sizes).
QPixmap MainWindowPicture(int side);

// Side of one frame of the repeat indicator, in pixels.
inline constexpr int kRepeatFrameSize = 20;
// Number of frames in the repeat strip.
inline constexpr int kRepeatFrameCount = 4;
// 80 x 20 strip of four frames: a pair of dark-red circular arrows on light
// grey, each frame turned a step further.
QPixmap RepeatStrip();
// The first frame of the strip on its own.
QPixmap RepeatStill();
