#pragma once

#include <QString>

// "hh:mm:ss" of a number of seconds, cut to whole seconds: "00:00:00" below one
// second, "24:59:59" from 25 hours on. Display only; never parsed back.
QString TimeText(double seconds);

// The whole number nearest to x, halves going to the even neighbour. Values
// beyond the range of a 64-bit integer (and NaN) give 0.
long long RoundToEven(double x);
