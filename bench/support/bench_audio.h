#pragma once

#include <QString>

#include <gst/gst.h>

#include <vector>

// Long recordings the benchmarks generate, and small figure helpers.

// Sample rate of every generated recording.
inline constexpr int kBenchRate = 44100;

// Median and largest of a set of figures (0 for none).
double Median(std::vector<double> values);
double Worst(const std::vector<double>& values);

// Pulls float samples from an appsink until `out` holds `floats` of them or
// no sample comes within `wait`.
void PullSamples(GstElement* sink, std::vector<float>& out, std::size_t floats, GstClockTime wait);

// Runs a gst-launch style pipeline to its end; false on an error.
bool RunPipeline(const QString& description);

// A long MP3 made of copies of a ten-minute encode with a tick every second,
// CBR (at kbps) or VBR, without a Xing header. `dir` keeps the ten-minute segment.
bool MakeMp3(const QString& dir, const QString& path, bool cbr, int minutes, int kbps = 128);

// Copies an MP3 stream with a Xing header frame (frame and byte counts) put
// in front of it.
bool AddXingHeader(const QString& from, const QString& to);

// 16-bit stereo WAV: a quiet tone with a click at every second.
bool MakeWav(const QString& path, int seconds);
