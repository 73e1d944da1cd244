#pragma once

#include <QString>

#include <vector>

typedef struct _GstElement GstElement;

// Sinks for the engine: one that plays in real time and throws the sound away,
// and a tap that hands over what plays as fast as the engine decodes.
GstElement* MakeClockSink();
GstElement* MakeTap();
// At least the given number of frames (interleaved stereo floats) from a tap
// whose engine runs; fewer at the end of the stream.
std::vector<float> Pull(GstElement* tap, std::size_t frames = std::size_t(-1) / 4);

// Writes a 16-bit WAV of noise, always the same, or of a click every second
// in silence.
bool WriteWav(const QString& path, int seconds, int rate = 44100, int channels = 2,
              bool noise = true);

// 12 s of stereo noise at 44.1 kHz as WAV and as MP3s (CBR and VBR, with and
// without a header frame), 5 s of mono MPEG 2 at 22.05 kHz, and three minutes
// of clicks in silence as VBR MP3 without a header frame (tiny frames that
// lean on the bit reservoir: the hardest case for an exact seek). Made once
// per run.
struct TestFiles {
    QString wav, mp3CbrXing, mp3Cbr, mp3VbrXing, mp3Vbr, mp3Mono, longMp3;
};
const TestFiles& Files();
