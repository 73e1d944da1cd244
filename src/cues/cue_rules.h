#pragma once

#include <QtGlobal>

#include <optional>
#include <span>

// Which cue point is current, decided from the cue points' starts (whole
// seconds, in list order, which is playing order) and the playing position.
// The handlers read the list, ask these rules and apply the answer.

using CueStarts = std::span<const qint32>;

// What a tick does about the cue points.
struct TickStep {
    enum Kind { kNothing, kLoop, kFollow };
    Kind kind = kNothing;
    // kLoop: the cue whose start playback goes back to; kFollow: the cue that
    // becomes current (selected, its title and lyrics shown).
    int cue = -1;
    bool operator==(const TickStep&) const = default;
};

// The tick at a position: when playback has reached the next cue's start -
// the whole second of the position is exactly that start, or playback went
// past it since the previous tick's position without a seek in between (a
// tick that came late) - repeat mode loops the current section (when the
// current cue is a line), otherwise the tick follows into the next cue unless
// it already followed one since the last Play or cue choice. `previous` is
// the position the last tick saw, nullopt when a seek came after it.
TickStep DecideTick(CueStarts starts, int currentCue, double position, bool repeat, bool followed,
                    std::optional<double> previous = std::nullopt);

// The cue a slider drag lands in: the last in list order that starts
// strictly before the whole second of the position; nullopt when none does.
std::optional<int> CueOfDrag(CueStarts starts, double position);

// The cue a jump by `seconds` lands in, one step at most: back into the cue
// before when the position lies before the current cue's start, forward into
// the next when it lies past the next cue's start; nullopt when the
// selection stays.
std::optional<int> CueAfterJump(CueStarts starts, int currentCue, int seconds, double position);

// The line Next chooses after the selected one (-1 for none); nullopt on the
// last line, where Next does nothing.
std::optional<int> NextLine(int listIndex, int count);
// The line Previous chooses: the one before, or the first line again.
int PreviousLine(int listIndex);
