#include "ui/screen_places.h"

#include <gtest/gtest.h>

namespace {

// A primary screen and a second one to its right, as available areas.
const QRect kPrimary(0, 0, 1280, 800);
const QRect kRight(1280, 0, 1024, 768);

std::string Text(const QRect& r) {
    return std::to_string(r.x()) + ',' + std::to_string(r.y()) + ' ' + std::to_string(r.width()) +
           'x' + std::to_string(r.height());
}

}  // namespace

TEST(WithinScreens, KeepsReachableWindowsAndBringsBackTheOthers) {
    const QList<QRect> both = {kPrimary, kRight};
    const QList<QRect> primaryOnly = {kPrimary};
    struct Case {
        QRect outer;
        QList<QRect> areas;
        QRect expected;
    };
    const Case cases[] = {
        // On a screen: unchanged, also partly beyond an edge while the title
        // bar can still be grabbed.
        {{100, 80, 400, 500}, primaryOnly, {100, 80, 400, 500}},
        {{1500, 100, 400, 500}, both, {1500, 100, 400, 500}},
        {{1216, 768, 400, 500}, primaryOnly, {1216, 768, 400, 500}},
        {{-336, 0, 400, 500}, primaryOnly, {-336, 0, 400, 500}},
        // Out of reach: onto the primary screen, wholly when it fits.
        {{1500, 100, 400, 500}, primaryOnly, {880, 100, 400, 500}},
        {{1217, 100, 400, 500}, primaryOnly, {880, 100, 400, 500}},
        {{-337, 100, 400, 500}, primaryOnly, {0, 100, 400, 500}},
        {{100, 769, 400, 500}, primaryOnly, {100, 300, 400, 500}},
        {{100, -1, 400, 500}, primaryOnly, {100, 0, 400, 500}},
        {{-50000, -30000, 400, 500}, both, {0, 0, 400, 500}},
        {{5000, 100, 2000, 500}, both, {0, 100, 2000, 500}},
        // Sizes between a small window and the span of the screens.
        {{0, 0, 32767, 32767}, primaryOnly, {0, 0, 1280, 800}},
        {{0, 0, 32767, 32767}, both, {0, 0, 2304, 800}},
        {{100, 100, 1, 1}, primaryOnly, {100, 100, 128, 64}},
        // No screens known: nothing to go by.
        {{90000, 0, 32767, 1}, {}, {90000, 0, 32767, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(WithinScreens(c.outer, c.areas)), Text(c.expected))
            << Text(c.outer) << " on " << c.areas.size() << " screens";
    }
}
