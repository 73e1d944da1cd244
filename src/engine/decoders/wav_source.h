#pragma once

#include "engine/decoders/file_reader.h"
#include "engine/decoders/wav_header.h"
#include "engine/pcm_source.h"

#include <memory>

// Samples straight from the data chunk of a WAV file.
std::unique_ptr<PcmSource> OpenWavSource(std::shared_ptr<FileReader> file, const WavFormat& format);
