#pragma once

#include <QString>

#include <vector>

typedef struct _GstElement GstElement;

// Sinks: one playing in real time to nowhere, a tap handing over what plays.
GstElement* MakeClockSink();
GstElement* MakeTap();
// At least `frames` stereo float frames from a tap (fewer at the end).
std::vector<float> Pull(GstElement* tap, std::size_t frames = std::size_t(-1) / 4);

// Writes seconds of a tone as a 16-bit stereo WAV at 44.1 kHz.
bool WriteWav(const QString& path, int seconds);

// 12 s of the tone as WAV and as MP3 (CBR and VBR, with and without a header
// frame), 5 s as mono MPEG 2 at 22.05 kHz, and 3 min of ticks as VBR MP3 without
// header (tiny frames leaning on the bit reservoir). Made once a run.
struct TestFiles {
    QString wav, mp3CbrXing, mp3Cbr, mp3VbrXing, mp3Vbr, mp3Mono, longMp3;
};
const TestFiles& Files();
