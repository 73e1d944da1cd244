#pragma once

#include <QString>

#include <vector>

typedef struct _GstElement GstElement;

GstElement* MakeClockSink();  // plays in real time to nowhere
GstElement* MakeTap();        // hands over what plays
// At least `frames` stereo float frames from a tap (fewer at the end).
std::vector<float> Pull(GstElement* tap, std::size_t frames = std::size_t(-1) / 4);

bool WriteWav(const QString& path, int seconds);

// Made once a run: 12 s of the tone as WAV and as MP3 (CBR and VBR, with and
// without a header frame), 5 s mono at 22.05 kHz, 3 min of ticks as VBR MP3.
struct TestFiles {
    QString wav, mp3CbrXing, mp3Cbr, mp3VbrXing, mp3Vbr, mp3Mono, longMp3;
};
const TestFiles& Files();
