#pragma once

#include "engine/decoders/file_reader.h"
#include "engine/media_engine.h"

#include <memory>

typedef struct _GstElement GstElement;

// The media engine on GStreamer. The file is decoded by our own sources (WAV
// samples, MP3 through libmpg123 with a frame index of our own), whose samples
// an appsrc feeds into one output chain: tempo (pitch kept), balance, volume,
// sink. Bus messages are read on the caller's thread during its calls; the
// streaming threads only ever touch the engine's source, never the program.

// Creates an engine that plays through the automatic audio sink. When
// GStreamer cannot be initialised, every render fails.
std::unique_ptr<MediaEngine> CreateGstEngine();

// Creates an engine that plays through the given sink (for tests and
// benchmarks, e.g. an appsink or a clock-synchronised fakesink). The engine
// takes a reference to the sink. Call InitGstreamer first.
// The opener, when given, reads the files (benchmarks slow it down).
std::unique_ptr<MediaEngine> CreateGstEngine(GstElement* sink, FileOpener opener = {});

// Initialises GStreamer once per process; false when it cannot be used.
bool InitGstreamer();

// The factory the program uses: a new engine on the automatic audio sink.
MediaEngineFactory GstEngineFactory();
