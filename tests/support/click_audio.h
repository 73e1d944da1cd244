#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// A sound whose content proves its position: a click of 0.9 on the left and
// -0.45 on the right at every whole second (the first at sample 0) over a
// quiet tone, 48 kHz stereo, 12 s.
inline constexpr int kClickRate = 48000;
inline constexpr int kClickSeconds = 12;
std::vector<float> ClickSignal();

// Samples as a WAV file's bytes: `bits` 8, 16, 24, 32 integer or 32, 64
// float (`isFloat`), `channels` per frame (more than the signal's two repeat
// the right one), in the extensible format or not, with a chunk of
// `chunkBefore` bytes before the samples, as RF64 (with a chunk after the
// samples), or with a data size of 0.
struct WavLayout {
    int bits = 16;
    bool isFloat = false;
    int channels = 2;
    bool extensible = false;
    int chunkBefore = 0;
    bool rf64 = false;
    bool sizeZero = false;
};
QByteArray WavBytes(const std::vector<float>& stereo, const WavLayout& layout);

// The click sound encoded by ffmpeg: one file per format (made once a run),
// with the largest difference it leaves against the signal (1 when lossy).
struct ClickFile {
    const char* name;
    QString path;
    float tolerance;
};
const std::vector<ClickFile>& ClickFiles();
