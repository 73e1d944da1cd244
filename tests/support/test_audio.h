#pragma once

#include "engine/pcm_source.h"

#include <QByteArray>
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

// A sound whose content proves its position: a click of 0.9 on the left and
// -0.45 on the right at every whole second (the first at sample 0) over a
// quiet tone, 48 kHz stereo, 12 s.
inline constexpr int kClickRate = 48000;
inline constexpr int kClickSeconds = 12;
std::vector<float> ClickSignal();

// Numbers as little-endian bytes: value and byte count of each.
QByteArray Le(std::initializer_list<std::pair<std::int64_t, int>> numbers);

// Stereo samples as a WAV file: more channels than two repeat the right one.
struct WavLayout {
    int bits = 16;  // 8, 16, 24, 32 integer; 32, 64 float
    bool isFloat = false;
    int channels = 2;
    bool extensible = false;
    int chunkBefore = 0;  // bytes of a chunk before the samples
    bool rf64 = false;    // with a ds64 chunk, and a chunk after the samples
    bool sizeZero = false;
};
QByteArray WavBytes(const std::vector<float>& stereo, const WavLayout& layout);

// The click sound encoded by ffmpeg, one file per format (made once a run),
// with the largest difference it leaves against the signal (1 when lossy).
struct ClickFile {
    const char* name;
    QString path;
    float tolerance;
};
const std::vector<ClickFile>& ClickFiles();

// Up to `frames` sample frames from the source's position (to its end).
std::vector<float> ReadFrames(PcmSource& source, std::int64_t frames = INT64_MAX);
QString WriteFile(const QString& path, const QByteArray& bytes);  // gives the path
