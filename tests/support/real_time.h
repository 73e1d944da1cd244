#pragma once

#include <QDeadlineTimer>
#include <QTest>

#include <functional>

// Runs the event loop until the condition holds, at most the given time;
// returns whether it holds.
inline bool WaitFor(const std::function<bool()>& condition, int milliseconds = 10000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired()) {
        QTest::qWait(5);
    }
    return condition();
}
