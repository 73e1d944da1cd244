#include "engine/pcm_source.h"

#include "engine/decoders/mp3_source.h"
#include "engine/decoders/wav_header.h"
#include "engine/decoders/wav_source.h"

#include <algorithm>
#include <cstring>
#include <vector>

std::unique_ptr<PcmSource> OpenPcmSource(const QString& path, const FileOpener& opener) {
    std::shared_ptr<FileReader> file = opener ? opener(path) : OpenFileReader(path);
    if (file == nullptr || file->Size() == 0) {
        return nullptr;
    }
    std::vector<std::uint8_t> start(std::size_t(std::min<std::uint64_t>(file->Size(), 64 * 1024)));
    start.resize(file->ReadAt(0, start.data(), start.size()));
    if (start.size() >= 4 && std::memcmp(start.data(), "RIFF", 4) == 0) {
        auto format = ParseWavHeader(start, file->Size());
        if (!format || format->dataBytes == 0) {
            return nullptr;
        }
        return OpenWavSource(file, *format);
    }
    return OpenMp3Source(std::move(file));
}
