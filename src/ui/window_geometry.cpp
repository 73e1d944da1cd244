#include "ui/window_geometry.h"

#include "ui/twips.h"

#include <QWidget>

#include <algorithm>

namespace {

// Twips kept for a window stay within what 16-bit window coordinates held.
constexpr double kTwipsLimit = 32767.0 * kTwipsPerPixel;

int Pixels(double twips) {
    if (!(twips == twips)) {  // NaN
        return 0;
    }
    return TwipsToPixels(std::clamp(twips, -kTwipsLimit, kTwipsLimit));
}

// Width and height the frame adds to the client area (zero before the window
// system has framed the window).
QSize FrameExtra(const QWidget* window) {
    return window->frameGeometry().size() - window->geometry().size();
}

}  // namespace

int LeftTwips(const QWidget* window) {
    return PixelsToTwips(window->frameGeometry().x());
}
int TopTwips(const QWidget* window) {
    return PixelsToTwips(window->frameGeometry().y());
}
int WidthTwips(const QWidget* window) {
    return PixelsToTwips(window->frameGeometry().width());
}
int HeightTwips(const QWidget* window) {
    return PixelsToTwips(window->frameGeometry().height());
}

void SetLeftTwips(QWidget* window, double twips) {
    window->move(Pixels(twips), window->frameGeometry().y());
}

void SetTopTwips(QWidget* window, double twips) {
    window->move(window->frameGeometry().x(), Pixels(twips));
}

void SetWidthTwips(QWidget* window, double twips) {
    window->resize(std::max(1, Pixels(twips) - FrameExtra(window).width()), window->height());
}

void SetHeightTwips(QWidget* window, double twips) {
    window->resize(window->width(), std::max(1, Pixels(twips) - FrameExtra(window).height()));
}
