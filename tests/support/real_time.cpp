#include "support/real_time.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < milliseconds) {
        QTest::qWait(5);
    }
    return condition();
}

LoopWatch WatchLoops(int milliseconds, double start, const std::function<double()>& position) {
    LoopWatch watch{start, start, 0};
    double before = start;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QTest::qWait(2);
        const double now = position();
        watch.lowest = std::min(watch.lowest, now);
        watch.highest = std::max(watch.highest, now);
        watch.loops += now < before - 1 ? 1 : 0;
        before = now;
    }
    return watch;
}
