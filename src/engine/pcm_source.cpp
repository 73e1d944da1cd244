#include "engine/pcm_source.h"

#include "engine/decoders/mp3_source.h"
#include "engine/decoders/wav_source.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

std::unique_ptr<PcmSource> OpenPcmSource(const QString& path) {
    QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (name.isEmpty() || stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return nullptr;
    }
    auto file =
        std::make_shared<FileHandle>(open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file->get() < 0 || fstat(file->get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size <= 0) {
        return nullptr;
    }
    std::uint64_t size = std::uint64_t(info.st_size);

    std::vector<std::uint8_t> start(std::size_t(std::min<std::uint64_t>(size, 64 * 1024)));
    start.resize(ReadFileAt(file->get(), 0, start.data(), start.size()));
    if (start.size() >= 4 && std::memcmp(start.data(), "RIFF", 4) == 0) {
        auto format = ParseWavHeader(start, size);
        if (!format || format->dataBytes == 0) {
            return nullptr;
        }
        return OpenWavSource(file, *format);
    }

    int fd = file->get();
    auto layout =
        ScanMp3(size, [fd](std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
            return ReadFileAt(fd, offset, buffer, count);
        });
    if (!layout) {
        return nullptr;
    }
    return OpenMp3Source(file, std::move(*layout));
}
