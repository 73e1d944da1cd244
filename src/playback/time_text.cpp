#include "playback/time_text.h"

#include <cmath>

QString TimeText(double seconds) {
    const double whole = std::floor(seconds);
    if (!(whole >= 1)) {  // also NaN
        return QStringLiteral("00:00:00");
    }
    if (whole >= 25 * 3600.0) {
        return QStringLiteral("24:59:59");
    }
    const int t = static_cast<int>(whole);
    return QStringLiteral("%1:%2:%3")
        .arg(t / 3600, 2, 10, QLatin1Char('0'))
        .arg(t % 3600 / 60, 2, 10, QLatin1Char('0'))
        .arg(t % 60, 2, 10, QLatin1Char('0'));
}

long long RoundToEven(double x) {
    const double rounded = std::nearbyint(x);
    if (!(std::fabs(rounded) < 9.2e18)) {
        return 0;
    }
    return static_cast<long long>(rounded);
}
