#pragma once

#include "engine/decoders/file_reader.h"
#include "engine/pcm_source.h"

#include <memory>

// An MP3 file decoded by libmpg123. It opens after reading only the first
// frames; the rest of the frame index is walked on a thread of its own at
// idle I/O priority. Seeks are exact to the sample: one beyond the walked
// part waits for the walk to get there. Nothing when the file holds no MPEG
// audio stream near its start.
std::unique_ptr<PcmSource> OpenMp3Source(std::shared_ptr<FileReader> file);
