#pragma once

#include <functional>

class QObject;
class QWidget;

// Outer window position and size in twips (the frame included), as the
// settings file keeps them.
//
// The window system frames a window only when it is shown, some time after
// the request. Until then the readers return what the setters asked for, so
// a window that was never shown gives back exactly what it was given, and
// the outer size asked for is applied again once the frame is known.
//
// Setters take any number. A size is cut to the screens' reach; a place from
// which the title bar could not be reached moves onto the primary screen
// (see WithinScreens), and the readers then return the corrected values.
int LeftTwips(const QWidget* window);
int TopTwips(const QWidget* window);
int WidthTwips(const QWidget* window);
int HeightTwips(const QWidget* window);
void SetLeftTwips(QWidget* window, double twips);
void SetTopTwips(QWidget* window, double twips);
void SetWidthTwips(QWidget* window, double twips);
void SetHeightTwips(QWidget* window, double twips);

// True once the window system has framed the window (or shown it without a
// frame), so that its outer size is known.
bool IsFramed(const QWidget* window);
// Runs action once the window is framed: at once when it is, else later,
// while context still exists.
void WhenFramed(QWidget* window, QObject* context, std::function<void()> action);
