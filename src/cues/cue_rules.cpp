#include "cues/cue_rules.h"

#include <cmath>

namespace {

bool IsLine(CueStarts starts, int index) {
    return index >= 0 && index < int(starts.size());
}

}  // namespace

TickStep DecideTick(CueStarts starts, int currentCue, double position, bool repeat, bool followed,
                    std::optional<double> previous) {
    const int next = currentCue + 1;
    if (!IsLine(starts, next)) {
        return {};
    }
    const bool crossed = previous && *previous < starts[next] && position >= starts[next];
    if (std::floor(position) != starts[next] && !crossed) {
        return {};
    }
    if (repeat) {
        return IsLine(starts, currentCue) ? TickStep{TickStep::kLoop, currentCue} : TickStep{};
    }
    return followed ? TickStep{} : TickStep{TickStep::kFollow, next};
}

std::optional<int> CueOfDrag(CueStarts starts, double position) {
    const double second = std::floor(position);
    std::optional<int> last;
    for (int i = 0; i < int(starts.size()); ++i) {
        if (starts[i] < second) {
            last = i;
        }
    }
    return last;
}

std::optional<int> CueAfterJump(CueStarts starts, int currentCue, int seconds, double position) {
    const double second = std::floor(position);
    if (seconds < 0) {
        if (currentCue >= 1 && IsLine(starts, currentCue) && second < starts[currentCue]) {
            return currentCue - 1;
        }
    } else if (IsLine(starts, currentCue + 1) && second > starts[currentCue + 1]) {
        return currentCue + 1;
    }
    return std::nullopt;
}

std::optional<int> NextLine(int listIndex, int count) {
    const int next = listIndex + 1;
    return next > count - 1 ? std::nullopt : std::optional<int>(next);
}

int PreviousLine(int listIndex) {
    return listIndex - 1 < 0 ? 0 : listIndex - 1;
}
