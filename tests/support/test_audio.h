#pragma once

#include <QString>

#include <cstdint>
#include <vector>

typedef struct _GstElement GstElement;

// Audio files the playback tests generate at run time, and a sink that lets
// them read what the engine plays.

// Amplitude of the click on the left channel at the start of every second.
inline constexpr float kClick = 0.9f;

// Writes a 16-bit PCM WAV: a quiet tone on both channels (a different one on
// the right) with a one-sample click on the left at every whole second.
// Without the tone, an MP3 encoder makes small frames that lean on the bit
// reservoir, the hardest case for an exact seek.
bool WriteClickWav(const QString& path, double seconds, int rate = 44100, int channels = 2,
                   bool tone = true);

// How GStreamer's MP3 encoder is asked to encode.
enum class Mp3Kind { kCbr, kVbr };

// Encodes a WAV file to MP3, with or without the Xing/Info header frame.
bool EncodeMp3(const QString& wavPath, const QString& mp3Path, Mp3Kind kind, bool xingHeader);

// Reads the samples an engine plays, as interleaved stereo floats, through an
// appsink that runs as fast as the engine decodes.
class SampleTap {
public:
    SampleTap();
    ~SampleTap();
    SampleTap(const SampleTap&) = delete;
    SampleTap& operator=(const SampleTap&) = delete;

    // The sink to give the engine.
    GstElement* sink() const { return sink_; }
    // Pulls at least the given number of stereo frames (fewer at the end of
    // the stream); the engine must be running.
    std::vector<float> Pull(std::size_t frames);
    // Pulls everything up to the end of the stream.
    std::vector<float> PullAll();
    // Time stamp in seconds of the first buffer of the last pull.
    double firstTime() const { return firstTime_; }

private:
    GstElement* sink_;
    double firstTime_ = -1.0;
};

// A sink that plays in real time and throws the sound away.
GstElement* MakeClockSink();

// Files the playback tests share, generated once per run into a temporary
// folder that goes away with the process.
struct TestFiles {
    QString dir;
    QString wav;                                     // 12 s of clicks, stereo, 44.1 kHz
    QString mp3CbrXing, mp3Cbr, mp3VbrXing, mp3Vbr;  // the same 12 s
    QString mp3Mono;                                 // 5 s of clicks, mono 22.05 kHz (MPEG 2), VBR
};
const TestFiles& Files();

// Three minutes of clicks without the tone as VBR MP3 without a Xing header
// (made on first use).
const QString& LongMp3();
