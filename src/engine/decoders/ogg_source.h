#pragma once

#include "engine/decoders/file_reader.h"
#include "engine/pcm_source.h"

#include <memory>

// An Ogg Vorbis file decoded by libvorbisfile.
std::unique_ptr<PcmSource> OpenVorbisSource(std::shared_ptr<FileReader> file);

// An Ogg Opus file decoded by libopusfile, always at 48 kHz.
std::unique_ptr<PcmSource> OpenOpusSource(std::shared_ptr<FileReader> file);
