#pragma once

// The demo rehearsal the build writes for a first run: a recording whose
// sections sound different, its cue file, and lyrics with chords for the start
// point and some of the cue points.

#include "cues/cue_file.h"

#include <QByteArray>
#include <QList>
#include <QString>

// File name of the demo recording.
inline constexpr const char* kDemoRecording = "Rehearsal.wav";
// Length of the demo recording in whole seconds.
inline constexpr int kDemoSeconds = 120;

// Lyrics of one title as the lyrics window shows them (lines end in "\n").
struct DemoLyrics {
    QString title;
    QString text;
};

// The demo's cue points in playing order, the start point first.
QList<CueRecord> DemoCues();

// The lyrics the demo brings; the start point's are under the recording's
// base name.
QList<DemoLyrics> DemoLyricsTexts();

// The demo recording as a 16-bit stereo WAV file at 44.1 kHz.
QByteArray DemoRecordingBytes();

// Writes the recording, its cue file and the lyrics files into the folder,
// creating it when missing. False when any file could not be written.
bool WriteDemo(const QString& folder);
