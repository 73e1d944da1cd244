#include "engine/decoders/file_reader.h"

#include <QFile>

#include <algorithm>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class DescriptorReader final : public FileReader {
public:
    DescriptorReader(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~DescriptorReader() override { ::close(fd_); }

    std::uint64_t Size() const override { return size_; }

    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override {
        const ssize_t got = ::pread(fd_, buffer, size, off_t(offset));
        return got > 0 ? std::size_t(got) : 0;
    }

private:
    int fd_;
    std::uint64_t size_;
};

}  // namespace

std::shared_ptr<FileReader> OpenFileReader(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (name.isEmpty() || ::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return nullptr;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    // The type is checked again on what was opened, in case the path changed.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_shared<DescriptorReader>(fd, std::uint64_t(info.st_size));
}

ReadAt ReadFromBytes(std::span<const std::uint8_t> bytes) {
    return [bytes](std::uint64_t offset, std::uint8_t* buffer, std::size_t size) -> std::size_t {
        if (offset >= bytes.size()) {
            return 0;
        }
        const std::size_t n = std::min<std::size_t>(size, bytes.size() - offset);
        std::memcpy(buffer, bytes.data() + offset, n);
        return n;
    };
}
