#pragma once

#include "engine/decoders/file_reader.h"
#include "engine/pcm_source.h"

#include <memory>

// How AAC reaches us: in an MP4 file (M4A; ALAC too), or as a bare stream
// of ADTS frames.
enum class AacContainer { kMp4, kAdts };

// AAC or ALAC audio decoded by FFmpeg. In an MP4 file the timeline starts at
// the first real sample and ends at the last: the encoder's delay and padding
// the file names are left out. A bare ADTS stream names neither and plays
// whole; its length is counted over all its frames when it opens.
std::unique_ptr<PcmSource> OpenMp4Source(std::shared_ptr<FileReader> file, AacContainer container);
