#pragma once

#include <functional>

// Runs the event loop until the condition holds, at most the given time;
// returns whether it holds.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 10000);
