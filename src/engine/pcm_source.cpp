#include "engine/pcm_source.h"

#include "engine/decoders/audio_kind.h"
#include "engine/decoders/flac_source.h"
#include "engine/decoders/mp3_source.h"
#include "engine/decoders/mp4_source.h"
#include "engine/decoders/ogg_source.h"
#include "engine/decoders/wav_header.h"
#include "engine/decoders/wav_source.h"

std::unique_ptr<PcmSource> OpenPcmSource(const QString& path, const FileOpener& opener) {
    std::shared_ptr<FileReader> file = opener ? opener(path) : OpenFileReader(path);
    if (file == nullptr || file->Size() == 0) {
        return nullptr;
    }
    const ReadAt read = [file](std::uint64_t offset, std::uint8_t* buffer, std::size_t size) {
        return file->ReadAt(offset, buffer, size);
    };
    switch (DetectAudioKind(read, file->Size())) {
        case AudioKind::kWav: {
            const auto format = ParseWavHeader(read, file->Size());
            if (!format || format->dataBytes == 0) {
                return nullptr;
            }
            return OpenWavSource(file, *format);
        }
        case AudioKind::kFlac:
            return OpenFlacSource(file);
        case AudioKind::kVorbis:
            return OpenVorbisSource(file);
        case AudioKind::kOpus:
            return OpenOpusSource(file);
        case AudioKind::kMp4:
            return OpenMp4Source(file, AacContainer::kMp4);
        case AudioKind::kAdts:
            return OpenMp4Source(file, AacContainer::kAdts);
        case AudioKind::kOther:
            break;
    }
    return OpenMp3Source(std::move(file));
}
