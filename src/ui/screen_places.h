#pragma once

#include <QList>
#include <QRect>

// The outer rectangle of a window (frame included, in pixels) brought within
// the screens, given as their available areas with the primary screen's
// first. The size is kept between a small window's that still shows its
// title bar (128 x 64) and the span of all areas together. A window whose
// title bar can be reached on one of the areas stays where it is; any other
// window moves onto the primary area, wholly when it fits there, else with
// its top-left corner at the area's. Without areas nothing changes.
QRect WithinScreens(QRect outer, const QList<QRect>& areas);
