// The time display of any number: always "hh:mm:ss" within 00:00:00 and
// 24:59:59, and rounding never overflows.
#include "playback/time_text.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double seconds = 0;
    if (size < sizeof seconds) {
        return 0;
    }
    std::memcpy(&seconds, data, sizeof seconds);
    const QString text = TimeText(seconds);
    const QStringList parts = text.split(u':');
    if (text.size() != 8 || parts.size() != 3 || parts[0].toInt() > 24 || parts[1].toInt() > 59 ||
        parts[2].toInt() > 59) {
        std::abort();
    }
    RoundToEven(seconds);
    return 0;
}
