#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

// Small builders for the fixed window layouts, all in twips.

// A rectangle given in twips, converted to pixels.
QRect TwipsRect(int left, int top, int width, int height);

// The desktop's standard sans-serif face at a point size.
QFont SansFont(double pointSize, bool bold);
// A fixed-pitch face at a point size.
QFont FixedFont(double pointSize);

// Colours given as the window layouts store them: &H00BBGGRR.
QColor ColourFromBgr(quint32 bgr);
// Sets a control's background and text colours.
void SetColours(QWidget* control, const QColor& back, const QColor& text);

QPushButton* MakeButton(QWidget* parent, const char* name, QRect geometry, const QString& caption,
                        const QString& toolTip = QString());
QGroupBox* MakeFrame(QWidget* parent, const char* name, QRect geometry, const QString& caption);
// A label at a position; auto-sized labels take the size of their text.
QLabel* MakeLabel(QWidget* parent, const char* name, QRect geometry, const QString& caption,
                  bool autoSize = true);

// Makes a label's font smaller, in quarter points, until its text fits the
// given width in pixels: the desktop's face may be wider than the one the
// layout was drawn for. Auto-sized labels take the new size of their text.
void ShrinkToFit(QLabel* label, int width);
