#pragma once

#include <QList>
#include <QString>

#include <utility>

// The marks a recording holds itself, as (seconds from its start, title) in
// the order the file keeps them: a WAV file's cue points with their labl
// names, an MP3's ID3v2 chapters (CHAP, titled by their TIT2), FLAC, Vorbis
// and Opus chapter comments (CHAPTERnnn, CHAPTERnnnNAME) and MP4 chapters.
// Titles may be empty. Nothing for a file without marks or one that cannot
// be read; never fails otherwise.
QList<std::pair<double, QString>> ReadRecordingMarks(const QString& path);
