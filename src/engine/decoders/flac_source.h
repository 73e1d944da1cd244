#pragma once

#include "engine/decoders/file_reader.h"
#include "engine/pcm_source.h"

#include <memory>

// A FLAC file decoded by libFLAC; nothing when it does not tell its length.
std::unique_ptr<PcmSource> OpenFlacSource(std::shared_ptr<FileReader> file);
