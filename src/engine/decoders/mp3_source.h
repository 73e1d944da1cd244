#pragma once

#include "engine/decoders/file_handle.h"
#include "engine/decoders/mp3_length.h"
#include "engine/pcm_source.h"

#include <memory>

// An MP3 file decoded by libmpg123, seeking to the exact sample through the
// frame index of our own walk; nothing when the decoder cannot take it.
std::unique_ptr<PcmSource> OpenMp3Source(std::shared_ptr<FileHandle> file, Mp3Layout layout);
