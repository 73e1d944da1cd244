#include "ui/screen_places.h"

#include <algorithm>

namespace {

// How much of the title bar must lie on an area for the user to grab it:
// its top edge and this much below it, and this much of its width (or the
// whole width of a narrower window).
constexpr int kGripHeight = 32;
constexpr int kGripWidth = 64;
// The smallest window that still shows a title bar and a little of its
// content.
constexpr QSize kSmallest(128, 64);

bool TitleBarReachable(const QRect& outer, const QRect& area) {
    if (outer.top() < area.top() || outer.top() + kGripHeight > area.bottom() + 1) {
        return false;
    }
    const int shared = std::min(outer.right(), area.right()) - std::max(outer.left(), area.left());
    return shared + 1 >= std::min(kGripWidth, outer.width());
}

}  // namespace

QRect WithinScreens(QRect outer, const QList<QRect>& areas) {
    if (areas.isEmpty()) {
        return outer;
    }
    QRect span;
    for (const QRect& area : areas) {
        span = span.united(area);
    }
    outer.setSize(outer.size().expandedTo(kSmallest).boundedTo(span.size()));
    for (const QRect& area : areas) {
        if (TitleBarReachable(outer, area)) {
            return outer;
        }
    }
    const QRect& primary = areas.front();
    outer.moveTo(std::clamp(outer.left(), primary.left(),
                            std::max(primary.left(), primary.right() + 1 - outer.width())),
                 std::clamp(outer.top(), primary.top(),
                            std::max(primary.top(), primary.bottom() + 1 - outer.height())));
    return outer;
}
