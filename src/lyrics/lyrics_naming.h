#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The text without the CR and LF characters at its end, in any order and number.
QString StripTrailingLineBreaks(const QString& text);
QByteArray StripTrailingLineBreaks(const QByteArray& bytes);

// Lyrics files larger than this are not loaded (the window would take
// seconds and hundreds of megabytes for them); no lyrics text comes near it.
inline constexpr qint64 kMaxLyricsBytes = 4 * 1024 * 1024;

// The name lyrics of a recording's start point are kept under: the
// recording's file name without its extension ("Take 3.flac" gives "Take 3").
QString LyricsBaseName(const QString& recording);

// The lyrics file of a title in a folder (ending in "/"): folder + title +
// ".txt". nullopt for a title that cannot name a file in that folder: one
// holding "/" or NUL, "." or "..", or too long for a file name.
std::optional<QString> LyricsFileFor(const QString& folder, const QString& title);

// Lyrics text as the window shows it (lines ending in "\n") from a file's text.
QString LyricsTextFromFile(const QString& fileText);
// A lyrics file's text from the window's text: lines end in CR LF, and the
// whole text is followed by one more CR LF.
QString LyricsFileText(const QString& shownText);
