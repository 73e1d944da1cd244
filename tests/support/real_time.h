#pragma once

#include <functional>

// Helpers for tests that let real time pass while the window's timers run.

// Runs the event loop until the condition holds, at most the given time.
// Returns whether it holds.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 10000);

// What watching a looping section saw: the lowest and highest position and
// how many times the position jumped back by more than a second.
struct LoopWatch {
    double lowest = 0;
    double highest = 0;
    int loops = 0;
};

// Reads the position between the ticks for the given time, starting from
// `start`, and reports what it saw.
LoopWatch WatchLoops(int milliseconds, double start, const std::function<double()>& position);
