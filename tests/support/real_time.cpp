#include "support/real_time.h"

#include <QDeadlineTimer>
#include <QTest>

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired()) {
        QTest::qWait(5);
    }
    return condition();
}
