#pragma once

#include <cmath>

// Window positions and sizes are kept in twips; the screen has 15 twips per pixel.
inline constexpr int kTwipsPerPixel = 15;

// Converts twips to the nearest whole pixel.
inline int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// Converts pixels to twips.
inline int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}
