#pragma once

class QWidget;

// Outer window position and size in twips (the frame included), as the
// settings file keeps them. Setters take any number; values beyond the
// screen's reach are clamped rather than overflowing.
int LeftTwips(const QWidget* window);
int TopTwips(const QWidget* window);
int WidthTwips(const QWidget* window);
int HeightTwips(const QWidget* window);
void SetLeftTwips(QWidget* window, double twips);
void SetTopTwips(QWidget* window, double twips);
void SetWidthTwips(QWidget* window, double twips);
void SetHeightTwips(QWidget* window, double twips);
