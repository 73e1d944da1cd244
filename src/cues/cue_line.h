#pragma once

#include <QString>

// A cue line as the cue list shows it: an eight-character time text, " - ",
// then the title. The seconds a cue point starts at are kept beside the line,
// never read from its text.

inline constexpr qsizetype kCueTimeLength = 8;
inline constexpr qsizetype kCueTitleStart = 11;

// The title of the start point a recording without cue file gets.
inline constexpr const char* kStartPointTitle = "Start Point";

// "hh:mm:ss - title".
QString CueLine(const QString& timeText, const QString& title);
// The line of the start point: "00:00:00 - Start Point".
QString StartPointLine();
// The title part of a line: everything after its first 11 characters.
QString CueTitleOf(const QString& line);
// The time text of a line: its first eight characters, kept as shown.
QString CueTimeTextOf(const QString& line);
// True for lines at 00:00:00, the start point among them, which the popup
// menu leaves alone.
bool IsAtStart(const QString& line);

// A title as it may enter a cue line: line breaks (CR LF, CR, LF, U+2028,
// U+2029) and tabs become single blanks, other control characters go, so a
// title never splits its record in the cue file.
QString CleanCueTitle(const QString& title);
