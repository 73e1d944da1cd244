#include "cues/cue_rules.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

// Cue starts in list order: 0, 10 and 20, then one at 15 set later.
static const std::vector<qint32> kStarts = {0, 10, 20, 15};

TEST(CueRules, TheTickFollowsOrLoopsOnlyOnTheNextCuesOwnSecond) {
    using enum TickStep::Kind;
    const std::tuple<int, double, bool, bool, TickStep> rows[] = {
        {0, 10.0, false, false, {kFollow, 1}},
        {0, 10.99, false, false, {kFollow, 1}},
        {0, 9.99, false, false, {}},
        {2, 15.0, false, false, {kFollow, 3}},
        {-1, 0.5, false, false, {kFollow, 0}},
        {0, 10.5, true, true, {kLoop, 0}},
        {1, 20.2, true, false, {kLoop, 1}},
        {1, 21.0, true, false, {}},
        {0, 11.0, false, false, {}},  // a seek past the start
        {0, 10.5, false, true, {}},   // latched since the last follow
        {3, 15.0, true, false, {}},   // the last section plays on to the end
        {-1, 0.5, true, false, {}},   // no current cue to go back to
    };
    for (const auto& [current, position, repeat, followed, step] : rows) {
        EXPECT_EQ(DecideTick(kStarts, current, position, repeat, followed), step)
            << current << " at " << position << (repeat ? " repeat" : "");
    }
    // A tick that comes late still sees the start playback went past since
    // the previous tick; a seek in between (no previous position) does not.
    EXPECT_EQ(DecideTick(kStarts, 0, 11.5, false, false, 9.9), (TickStep{kFollow, 1}));
    EXPECT_EQ(DecideTick(kStarts, 1, 21.5, true, false, 19.0), (TickStep{kLoop, 1}));
    EXPECT_EQ(DecideTick(kStarts, 0, 11.5, false, false, 10.2), TickStep{});
    EXPECT_EQ(DecideTick(kStarts, 0, 9.5, false, false, 8.0), TickStep{});
}

TEST(CueRules, ADragLandsInTheLastCueInListOrderStartingStrictlyBefore) {
    const std::pair<double, std::optional<int>> rows[] = {
        {0.9, std::nullopt}, {1.0, 0}, {10.0, 0}, {10.5, 0}, {11.0, 1}, {16.0, 3}, {25.0, 3}};
    for (const auto& [position, cue] : rows) {
        EXPECT_EQ(CueOfDrag(kStarts, position), cue) << position;
    }
}

TEST(CueRules, AJumpMovesTheCueOneStepAtMostAndOnlyPastAStart) {
    const std::vector<qint32> starts = {0, 10, 20, 30};
    const std::tuple<int, int, double, std::optional<int>> rows[] = {
        {0, 2, 10.9, std::nullopt},  // on the next cue's second
        {0, 2, 11.0, 1},
        {0, 20, 35.0, 1},             // past three starts: one step
        {3, 20, 60.0, std::nullopt},  // no cue after the last
        {-1, 2, 1.0, 0},
        {2, -2, 20.0, std::nullopt},  // on the current cue's second
        {2, -2, 19.9, 1},
        {3, -20, 5.0, 2},
        {0, -10, 0.0, std::nullopt},  // no cue before the first
        {-1, -10, 0.0, std::nullopt},
        {1, -10, 15.0, std::nullopt},
    };
    for (const auto& [current, seconds, position, cue] : rows) {
        EXPECT_EQ(CueAfterJump(starts, current, seconds, position), cue)
            << current << " by " << seconds << " to " << position;
    }
}

TEST(CueRules, NextStopsOnTheLastLineAndPreviousStaysOnTheFirst) {
    EXPECT_EQ(NextLine(2, 4), 3);
    EXPECT_EQ(NextLine(3, 4), std::nullopt);
    EXPECT_EQ(NextLine(-1, 4), 0);
    EXPECT_EQ(NextLine(-1, 0), std::nullopt);
    EXPECT_EQ(PreviousLine(3), 2);
    EXPECT_EQ(PreviousLine(0), 0);
    EXPECT_EQ(PreviousLine(-1), 0);
}
